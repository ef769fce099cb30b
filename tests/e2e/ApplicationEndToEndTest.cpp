#include "e2e/VelmoraProcess.h"
#include "support/EvdevKeycodes.h"
#include "support/WaitUntil.h"
#include "support/XTestKeyboard.h"
#include "support/XkbProbe.h"
#include "support/XvfbServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

class ApplicationEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.start())
            GTEST_SKIP() << "Xvfb cannot start here: " << server.error().toStdString();
        ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
        QDir().mkpath(configHome());
        QDir().mkpath(runtimeDir());
        QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // The trace is what this test reads.
        writeSettings("[General]\nenableDebugMode=true\nenableUsageStats=true\n");
    }
    QString configHome() const { return home.filePath(QStringLiteral("config")); }
    QString runtimeDir() const { return home.filePath(QStringLiteral("runtime")); }
    void writeSettings(const QByteArray& text) {
        QDir().mkpath(configHome() + QStringLiteral("/Velmora"));
        QFile file(configHome() + QStringLiteral("/Velmora/Velmora.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    std::unique_ptr<VelmoraProcess> launch() {
        auto process = std::make_unique<VelmoraProcess>(server.display(), configHome(), runtimeDir());
        EXPECT_TRUE(process->start());
        return process;
    }

    XvfbServer server;
    QTemporaryDir home;
};

TEST_F(ApplicationEndToEndTest, FirstStartWaitsForOnboardingAndRegistersForLogin) {
    auto velmora = launch();
    EXPECT_FALSE(velmora->waitForLine(QStringLiteral("First launch detected - showing onboarding")).isEmpty());
    EXPECT_FALSE(velmora->waitForLine(QStringLiteral("Application finished launching")).isEmpty());
    EXPECT_FALSE(velmora->hasLine(QStringLiteral("Event tap created successfully")));
    EXPECT_TRUE(QFileInfo::exists(configHome() + QStringLiteral("/autostart/velmora.desktop")));
    EXPECT_EQ(velmora->terminate(), 0);
}

TEST_F(ApplicationEndToEndTest, SecondStartSwitchesForCtrlCAndShutsDownCleanly) {
    {
        auto first = launch();
        ASSERT_FALSE(first->waitForLine(QStringLiteral("Application finished launching")).isEmpty());
        ASSERT_EQ(first->terminate(), 0);
    }
    auto velmora = launch();
    ASSERT_FALSE(velmora->waitForLine(QStringLiteral("Event tap created successfully")).isEmpty());
    ASSERT_FALSE(velmora->waitForLine(QStringLiteral("Application finished launching")).isEmpty());

    XkbProbe probe(server.display());
    XTestKeyboard keyboard(server.display());
    ASSERT_TRUE(probe.isConnected());
    ASSERT_TRUE(keyboard.isConnected());
    ASSERT_EQ(probe.currentGroup(), 0);

    keyboard.press(Keycode::leftControl);
    keyboard.sync();
    EXPECT_TRUE(waitUntil([&] { return probe.currentGroup() == 1; }));
    keyboard.press(Keycode::c);
    keyboard.release(Keycode::c);
    keyboard.release(Keycode::leftControl);
    keyboard.sync();
    EXPECT_TRUE(waitUntil([&] { return probe.currentGroup() == 0; }));

    EXPECT_FALSE(velmora->waitForLine(QStringLiteral("⌨️ Switched to English layout 'English (US)', result: 0")).isEmpty());
    EXPECT_FALSE(velmora->waitForLine(QStringLiteral("   Parameters: [\"direction\": \"to_previous\"]")).isEmpty());

    // A second launch hands over and leaves; the first goes on switching.
    VelmoraProcess second(server.display(), configHome(), runtimeDir());
    ASSERT_TRUE(second.start());
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_TRUE(second.hasLine(QStringLiteral("Velmora is already running")));
    EXPECT_FALSE(second.hasLine(QStringLiteral("Event tap created")));
    // This display has no tray host: the icon cannot be seen, so the reopen
    // opens the preferences, as the start-up line promised.
    EXPECT_TRUE(velmora->hasLine(QStringLiteral("No system tray on this desktop")));
    EXPECT_FALSE(velmora->waitForLine(QStringLiteral("launch Velmora again")).isEmpty());
    EXPECT_FALSE(velmora->waitForLine(QStringLiteral("Preferences window created")).isEmpty());

    keyboard.press(Keycode::leftAlt);
    keyboard.sync();
    EXPECT_TRUE(waitUntil([&] { return probe.currentGroup() == 1; }));
    keyboard.release(Keycode::leftAlt);
    keyboard.sync();
    EXPECT_TRUE(waitUntil([&] { return probe.currentGroup() == 0; }));

    EXPECT_EQ(velmora->terminate(), 0);
    EXPECT_TRUE(velmora->hasLine(QStringLiteral("Event tap disabled and invalidated")));
    EXPECT_TRUE(velmora->hasLine(QStringLiteral("Cleanup completed")));

    // Nobody switches any more.
    keyboard.press(Keycode::leftControl);
    keyboard.sync();
    settle(300);
    EXPECT_EQ(probe.currentGroup(), 0);
    keyboard.release(Keycode::leftControl);
}

TEST_F(ApplicationEndToEndTest, DisplayGoingAwayEndsTheProgramWithoutACrash) {
    writeSettings("[General]\nenableDebugMode=true\nhasLaunchedBefore=true\n");
    auto velmora = launch();
    ASSERT_FALSE(velmora->waitForLine(QStringLiteral("Event tap created successfully")).isEmpty());
    server.kill();
    // An orderly exit with a failure status: no crash, no hang.
    EXPECT_EQ(velmora->waitForExit(15000), 1);
}

TEST_F(ApplicationEndToEndTest, DefaultsWrittenFromOutsideReachTheRunningProgram) {
    writeSettings("[General]\nhasLaunchedBefore=true\nenableUsageStats=true\n");
    auto velmora = launch();
    ASSERT_FALSE(velmora->waitForLine(QStringLiteral("🔐 Accessibility Permission: ✅ Granted")).isEmpty());
    XTestKeyboard keyboard(server.display());
    XkbProbe probe(server.display());
    const auto pressControl = [&] {
        keyboard.press(Keycode::leftControl);
        keyboard.release(Keycode::leftControl);
        keyboard.sync();
    };
    ASSERT_TRUE(waitUntil([&] {
        pressControl();
        return velmora->hasLine(QStringLiteral("⌨️ Switched to English layout"));
    }));
    EXPECT_FALSE(velmora->hasLine(QStringLiteral("Analytics: layout_switched")));

    VelmoraProcess defaults(server.display(), configHome(), runtimeDir());
    ASSERT_TRUE(defaults.start({QStringLiteral("defaults"), QStringLiteral("write"), QStringLiteral("enableDebugMode"),
                                QStringLiteral("-bool"), QStringLiteral("true")}));
    ASSERT_EQ(defaults.waitForExit(), 0);
    // The next switch after the edit is traced, without a restart.
    EXPECT_TRUE(waitUntil([&] {
        pressControl();
        return velmora->hasLine(QStringLiteral("Analytics: layout_switched"));
    }));

    // The layout for shortcuts, chosen from outside, applies at the next press.
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us,gb")));
    VelmoraProcess chooseLayout(server.display(), configHome(), runtimeDir());
    ASSERT_TRUE(chooseLayout.start({QStringLiteral("defaults"), QStringLiteral("write"),
                                    QStringLiteral("shortcutLayout"), QStringLiteral("-string"),
                                    QStringLiteral("gb")}));
    ASSERT_EQ(chooseLayout.waitForExit(), 0);
    EXPECT_TRUE(waitUntil([&] {
        pressControl();
        return velmora->hasLine(
            QStringLiteral("⌨️ Switched to English layout 'English (UK)', result: 0"));
    }));
    VelmoraProcess list(server.display(), configHome(), runtimeDir());
    ASSERT_TRUE(list.start({QStringLiteral("--list-input-sources")}));
    ASSERT_EQ(list.waitForExit(), 0);
    EXPECT_TRUE(list.hasLine(QStringLiteral("   gb: English (UK) [for shortcuts]")))
        << list.lines().join('\n').toStdString();
    EXPECT_TRUE(list.hasLine(QStringLiteral("   us: English (US)")));
    EXPECT_EQ(velmora->terminate(), 0);
}

} // namespace
