#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velmora {

// Qt aborts when no platform plugin it tries can start, and on a Wayland
// session without XDG_SESSION_TYPE it tries only xcb. So the plugins are
// chosen before QApplication exists: those the session can start, Wayland
// first on a Wayland session; none gives a sentence for the user instead.
struct QtPlatformChoice {
    // The value for QT_QPA_PLATFORM, empty when nothing can start.
    QString platforms;
    QString problem;

    // installedPlugins: the keys of the platform plugins Qt would find.
    static QtPlatformChoice choose(const QProcessEnvironment& environment,
                                   const QStringList& installedPlugins);
    static QStringList installedPlugins();
};

} // namespace velmora
