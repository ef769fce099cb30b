#pragma once

#include <QMetaObject>
#include <QString>
#include <QStringList>

namespace velmora {

class SettingsStore;

// The applications in front of which a trigger switches nothing. The list is
// kept lower-cased from the settings and renewed when the key changes, so a
// press reads no settings at all.
class ExcludedApplications {
public:
    ExcludedApplications() = default;
    ~ExcludedApplications();
    ExcludedApplications(const ExcludedApplications&) = delete;
    ExcludedApplications& operator=(const ExcludedApplications&) = delete;

    // True when the focused application is on the list, compared without
    // regard to case; false where the desktop tells no focus.
    bool isFocusedExcluded();
    bool contains(const QString& identifier);

private:
    void follow(SettingsStore& store);

    SettingsStore* source_ = nullptr;
    QMetaObject::Connection changed_, destroyed_;
    QStringList lowered_;
};

} // namespace velmora
