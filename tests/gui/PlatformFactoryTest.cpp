#include "app/PlatformFactory.h"
#include "app/QtPlatformChoice.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// "NAME=value NAME=value" as a session's environment.
QProcessEnvironment environment(const char* variables) {
    QProcessEnvironment result;
    for (const QString& variable : QString::fromLatin1(variables).split(' ', Qt::SkipEmptyParts))
        result.insert(variable.section('=', 0, 0), variable.section('=', 1));
    return result;
}

struct BackendCase {
    const char* name;
    const char* environment;
    KeyboardBackend backend;
    bool kwinOnSessionBus = false;
};

TEST(KeyboardBackendTest, FollowsTheSession) {
    const BackendCase cases[] = {
        {"X11", "DISPLAY=:0 XDG_SESSION_TYPE=x11", KeyboardBackend::x11},
        {"XWaylandOnSway", "DISPLAY=:0 WAYLAND_DISPLAY=wayland-1 SWAYSOCK=/run/s", KeyboardBackend::sway},
        {"SwayBySessionType", "XDG_SESSION_TYPE=wayland SWAYSOCK=/run/s", KeyboardBackend::sway},
        {"OtherCompositorWithXWayland", "DISPLAY=:0 WAYLAND_DISPLAY=wayland-0",
         KeyboardBackend::unsupportedWayland},
        {"PlasmaByItsDesktopName", "WAYLAND_DISPLAY=wayland-0 XDG_CURRENT_DESKTOP=KDE",
         KeyboardBackend::kwin},
        {"KWinAnsweringOnTheBus", "XDG_SESSION_TYPE=wayland", KeyboardBackend::kwin, true},
        {"PlasmaOnX11", "DISPLAY=:0 XDG_CURRENT_DESKTOP=KDE", KeyboardBackend::x11, true},
        {"SwayConsoleOutsideTheSession", "SWAYSOCK=/run/s", KeyboardBackend::sway},
        {"NoSessionAtAll", "", KeyboardBackend::x11},
        {"GnomeOnWayland", "WAYLAND_DISPLAY=wayland-0 XDG_CURRENT_DESKTOP=ubuntu:GNOME",
         KeyboardBackend::gnome},
        {"GnomeOnX11", "DISPLAY=:0 XDG_CURRENT_DESKTOP=GNOME", KeyboardBackend::gnome},
    };
    for (const BackendCase& row : cases)
        EXPECT_EQ(PlatformFactory::keyboardBackendFor(environment(row.environment),
                                                      [&] { return row.kwinOnSessionBus; }),
                  row.backend)
            << row.name;
}

struct PlatformCase {
    const char* name;
    const char* environment;
    bool waylandPlugin;
    QString platforms; // empty: nothing can start
};

TEST(QtPlatformChoiceTest, PicksWhatCanStart) {
    const PlatformCase cases[] = {
        {"WaylandFirstWithXWaylandBehind", "WAYLAND_DISPLAY=wayland-1 DISPLAY=:0", true, "wayland;xcb"},
        {"HeadlessSwayWithoutTheWaylandPlugin", "WAYLAND_DISPLAY=wayland-1", false, ""},
        {"XWaylandWhenThePluginIsMissing", "WAYLAND_DISPLAY=wayland-1 DISPLAY=:0", false, "xcb"},
        {"StaleWaylandNameLeavesXWayland", "WAYLAND_DISPLAY=wayland-9 DISPLAY=:0", true, "xcb"},
        {"NoDisplay", "", true, ""},
        {"RequestedPluginKept", "QT_QPA_PLATFORM=offscreen", true, "offscreen"},
        {"RequestedButUnusable", "QT_QPA_PLATFORM=xcb", true, ""},
    };
    // The compositor's socket "wayland-1" is there; any other name is stale.
    QTemporaryDir runtime;
    QFile socket(runtime.filePath(QStringLiteral("wayland-1")));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    for (const PlatformCase& row : cases) {
        QProcessEnvironment session = environment(row.environment);
        session.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        const QStringList installed =
            row.waylandPlugin ? QStringList{"xcb", "wayland", "offscreen"} : QStringList{"xcb", "offscreen"};
        const QtPlatformChoice choice = QtPlatformChoice::choose(session, installed);
        EXPECT_EQ(choice.platforms, row.platforms) << row.name;
        EXPECT_EQ(choice.problem.isEmpty(), !row.platforms.isEmpty())
            << row.name << qPrintable(choice.problem);
    }
}

} // namespace
