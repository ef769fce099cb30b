#include "app/PlatformFactory.h"
#include "app/QtPlatformChoice.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<const char*, const char*>> variables) {
    QProcessEnvironment result;
    for (const auto& [name, value] : variables)
        result.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return result;
}

struct BackendCase {
    const char* name;
    QProcessEnvironment environment;
    KeyboardBackend backend;
    bool kwinOnSessionBus = false;
};

class KeyboardBackendTest : public ::testing::TestWithParam<BackendCase> {};

TEST_P(KeyboardBackendTest, FollowsTheSession) {
    EXPECT_EQ(PlatformFactory::keyboardBackendFor(GetParam().environment,
                                                  [] { return GetParam().kwinOnSessionBus; }),
              GetParam().backend);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, KeyboardBackendTest,
    ::testing::Values(
        BackendCase{"X11", environment({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}),
                    KeyboardBackend::x11},
        BackendCase{
            "XWaylandOnSway",
            environment({{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}, {"SWAYSOCK", "/run/s"}}),
            KeyboardBackend::sway},
        BackendCase{"SwayBySessionType",
                    environment({{"XDG_SESSION_TYPE", "wayland"}, {"SWAYSOCK", "/run/s"}}),
                    KeyboardBackend::sway},
        BackendCase{"OtherCompositorWithXWayland",
                    environment({{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}),
                    KeyboardBackend::unsupportedWayland},
        BackendCase{"PlasmaByItsDesktopName",
                    environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
                    KeyboardBackend::kwin},
        BackendCase{"KWinAnsweringOnTheBus", environment({{"XDG_SESSION_TYPE", "wayland"}}),
                    KeyboardBackend::kwin, true},
        BackendCase{"PlasmaOnX11", environment({{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
                    KeyboardBackend::x11, true},
        BackendCase{"SwayConsoleOutsideTheSession", environment({{"SWAYSOCK", "/run/s"}}),
                    KeyboardBackend::sway},
        BackendCase{"NoSessionAtAll", environment({}), KeyboardBackend::x11},
        BackendCase{"GnomeOnWayland",
                    environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}),
                    KeyboardBackend::gnome},
        BackendCase{"GnomeOnX11", environment({{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}),
                    KeyboardBackend::gnome}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlatformCase {
    const char* name;
    QProcessEnvironment environment;
    QStringList installed;
    QString platforms; // empty: nothing can start
};

class QtPlatformChoiceTest : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(QtPlatformChoiceTest, PicksWhatCanStart) {
    // The compositor's socket "wayland-1" is there; any other name is stale.
    QTemporaryDir runtime;
    QFile socket(runtime.filePath(QStringLiteral("wayland-1")));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    QProcessEnvironment session = GetParam().environment;
    session.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    const QtPlatformChoice choice = QtPlatformChoice::choose(session, GetParam().installed);
    EXPECT_EQ(choice.platforms, GetParam().platforms);
    EXPECT_EQ(choice.problem.isEmpty(), !GetParam().platforms.isEmpty()) << qPrintable(choice.problem);
}

const QStringList allPlugins{"xcb", "wayland", "offscreen"};
const QStringList withoutWayland{"xcb", "offscreen"};

INSTANTIATE_TEST_SUITE_P(
    Sessions, QtPlatformChoiceTest,
    ::testing::Values(
        PlatformCase{"WaylandFirstWithXWaylandBehind",
                     environment({{"WAYLAND_DISPLAY", "wayland-1"}, {"DISPLAY", ":0"}}), allPlugins,
                     "wayland;xcb"},
        PlatformCase{"HeadlessSwayWithoutTheWaylandPlugin", environment({{"WAYLAND_DISPLAY", "wayland-1"}}),
                     withoutWayland, ""},
        PlatformCase{"XWaylandWhenThePluginIsMissing",
                     environment({{"WAYLAND_DISPLAY", "wayland-1"}, {"DISPLAY", ":0"}}), withoutWayland,
                     "xcb"},
        PlatformCase{"StaleWaylandNameLeavesXWayland",
                     environment({{"WAYLAND_DISPLAY", "wayland-9"}, {"DISPLAY", ":0"}}), allPlugins, "xcb"},
        PlatformCase{"NoDisplay", environment({}), allPlugins, ""},
        PlatformCase{"RequestedPluginKept", environment({{"QT_QPA_PLATFORM", "offscreen"}}), allPlugins,
                     "offscreen"},
        PlatformCase{"RequestedButUnusable", environment({{"QT_QPA_PLATFORM", "xcb"}}), allPlugins, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtPlatformChoiceTest, FindsTheInstalledPluginsByTheirKeys) {
    const QStringList installed = QtPlatformChoice::installedPlugins();
    EXPECT_TRUE(installed.contains(QLatin1String("offscreen")));
    EXPECT_TRUE(installed.contains(QLatin1String("xcb")));
    EXPECT_TRUE(installed.contains(QLatin1String("wayland"))) << "qt6-wayland is missing";
}

} // namespace
