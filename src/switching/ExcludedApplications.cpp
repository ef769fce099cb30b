#include "switching/ExcludedApplications.h"

#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"

#include <QObject>

namespace velmora {

ExcludedApplications::~ExcludedApplications() {
    QObject::disconnect(changed_);
    QObject::disconnect(destroyed_);
}

bool ExcludedApplications::isFocusedExcluded() {
    const FocusedApplication* focus = Platform::current().focus.get();
    if (focus == nullptr || !focus->followsFocus())
        return false;
    const std::optional<QString> identifier = focus->identifier();
    return identifier && contains(*identifier);
}

bool ExcludedApplications::contains(const QString& identifier) {
    SettingsStore& store = SettingsStore::standard();
    if (&store != source_)
        follow(store);
    for (const QString& excluded : std::as_const(lowered_))
        if (excluded.compare(identifier, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void ExcludedApplications::follow(SettingsStore& store) {
    QObject::disconnect(changed_);
    QObject::disconnect(destroyed_);
    source_ = &store;
    const auto load = [this] {
        lowered_.clear();
        for (const QString& identifier : source_->stringListForKey(Constants::excludedApplications))
            if (!identifier.trimmed().isEmpty())
                lowered_.append(identifier.trimmed().toLower());
    };
    load();
    changed_ = QObject::connect(&store, &SettingsStore::valueChanged, [load](const QString& key) {
        if (key == Constants::excludedApplications)
            load();
    });
    // A store replaced at the same address must not pass for the old one.
    destroyed_ = QObject::connect(&store, &QObject::destroyed, [this] {
        source_ = nullptr;
        lowered_.clear();
    });
}

} // namespace velmora
