#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// An application as its desktop entry describes it.
struct DesktopEntry {
    // The desktop-file id without ".desktop" ("org.gnome.Terminal").
    QString identifier;
    // Name[locale] for the interface language, else Name.
    QString name;
    // A theme icon name or an absolute path.
    QString icon;
    // The WM_CLASS its windows carry, when the entry tells it.
    QString windowClass;
};

// The installed applications' desktop entries from the XDG applications
// folders, a user's entry hiding the system's of the same id.
namespace DesktopEntries {

// Shown ones only (not NoDisplay or Hidden), sorted by name.
QList<DesktopEntry> installed();
// The entry among `entries` an application identifier stands for: its
// desktop-file id or its window class, compared without regard to case.
std::optional<DesktopEntry> find(const QString& identifier, const QList<DesktopEntry>& entries);

} // namespace DesktopEntries

} // namespace velmora
