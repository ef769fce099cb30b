#pragma once

#include <QString>

namespace velmora::GnomeShellBus {

// Velmora's extension in GNOME Shell and the interface it serves.
inline const QString extensionUuid = QStringLiteral("velmora@velmora.app");
inline const QString service = QStringLiteral("app.velmora.Shell");
inline const QString path = QStringLiteral("/app/velmora/Shell");
inline const QString interface = QStringLiteral("app.velmora.Shell");

} // namespace velmora::GnomeShellBus
