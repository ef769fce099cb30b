#pragma once

#include <QString>
#include <QStringList>

namespace velmora::GnomeShellBus {

// Velmora's extensions in GNOME Shell and the interface they serve: one for
// GNOME 45 and later (ES modules), one for 43 and 44; a shell runs the one
// whose versions name it and refuses the other.
inline const QString extensionUuid = QStringLiteral("velmora@velmora.app");
inline const QString classicExtensionUuid = QStringLiteral("velmora-gnome43@velmora.app");
inline const QStringList extensionUuids{extensionUuid, classicExtensionUuid};
inline const QString service = QStringLiteral("app.velmora.Shell");
inline const QString path = QStringLiteral("/app/velmora/Shell");
inline const QString interface = QStringLiteral("app.velmora.Shell");

} // namespace velmora::GnomeShellBus
