#include "gui/AppDelegateFixture.h"

#include "settings/NotificationCenter.h"

using namespace velmora;

namespace {

TEST_F(AppDelegateTest, ReopenOpensPreferencesOnlyWithTheIconUnreachableAndNoWindow) {
    AppDelegate& app = make();
    app.trayAvailable = [] { return true; };
    store->setBool(Constants::showMenuBarIcon, true);
    EXPECT_TRUE(app.applicationShouldHandleReopen(false));
    store->setBool(Constants::showMenuBarIcon, false);
    EXPECT_TRUE(app.applicationShouldHandleReopen(true));
    EXPECT_TRUE(events().isEmpty());
    app.applicationShouldHandleReopen(false);
    // A shown icon without a tray host (as here) is as good as hidden.
    app.trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    store->setBool(Constants::showMenuBarIcon, true);
    app.applicationShouldHandleReopen(false);
    EXPECT_EQ(events(), (QStringList{"preferences_opened", "preferences_opened"}));
}

// The one trace of shutdown: everything torn down once, later runs only log.
TEST_F(AppDelegateTest, CleanupTearsDownOnceAndNothingHappensAfterIt) {
    store->setBool(Constants::hasLaunchedBefore, true);
    fakes.trust->setTrusted(true);
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    const auto tap = fakes.taps->latest();
    app.startPermissionChecking();
    output.clear();
    NotificationCenter::defaultCenter().post(Constants::applicationWillTerminateNotification);
    EXPECT_TRUE(app.isShuttingDown);
    EXPECT_TRUE(tap->invalidated);
    EXPECT_FALSE(tap->enabled);
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(traced(), (QStringList{"Starting cleanup process", "Permission checking stopped",
                                     "Event tap disabled and invalidated", "Closing all windows",
                                     "Cleanup completed"}));
    app.cleanup();
    output.clear();
    NotificationCenter::defaultCenter().post(Constants::languageDidChangeNotification);
    app.menuBarIconSettingChanged();
    app.updateAvailable({});
    app.startKeyboardMonitoring();
    app.startPermissionChecking();
    app.setupStatusBar();
    app.showPreferences();
    // Whatever these queued runs before this call.
    bool after = false;
    QMetaObject::invokeMethod(
        qApp, [&] { after = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(test::waitUntil([&] { return after; }));
    EXPECT_TRUE(output.lines().isEmpty()) << output.lines().join('\n').toStdString();
    EXPECT_EQ(fakes.taps->createdCount(), 1);
}

TEST_F(AppDelegateTest, PreferencesOpenOnceComeBackNewAndCloseAtShutdown) {
    AppDelegate& app = make();
    app.showPreferences();
    app.showPreferences();
    HostWindow* first = app.preferencesWindow;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), tr(LocalizationKeys::appName));
    EXPECT_EQ(events(), (QStringList{"preferences_opened", "preferences_opened"}));
    first->close();
    EXPECT_EQ(app.preferencesWindow, nullptr);
    app.showPreferences();
    EXPECT_EQ(traced().count(QStringLiteral("Preferences window created")), 2);
    EXPECT_TRUE(traced().contains(QStringLiteral("Preferences window closing")));

    HostWindow* window = app.preferencesWindow;
    app.cleanup();
    EXPECT_FALSE(window->isVisible());
    output.clear();
    window->close();
    EXPECT_TRUE(traced().isEmpty());
    EXPECT_EQ(app.preferencesWindow, window);
}

TEST_F(AppDelegateTest, SupportOpensTheContactPageAndIsRecorded) {
    make().showSupport();
    ASSERT_EQ(fakes.machine->openedUrls.size(), 1);
    EXPECT_EQ(fakes.machine->openedUrls.first().path(), QStringLiteral("/contact"));
    EXPECT_EQ(events(), QStringList{"support_opened"});
}

} // namespace
