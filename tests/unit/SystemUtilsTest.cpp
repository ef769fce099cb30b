#include "switching/SystemUtils.h"
#include "platform/Platform.h"
#include "fakes/FakeAccessibilityTrust.h"
#include "fakes/FakeLoginItemService.h"
#include "fakes/FakeMachine.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class SystemUtilsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        Platform platform;
        platform.accessibility = trust;
        platform.loginItems = loginItems;
        platform.reachability = machine;
        platform.systemInformation = machine;
        platform.workspace = machine;
        platform.alerts = alerts;
        Platform::install(platform);
    }
    void TearDown() override {
        Platform::install({});
        SettingsStore::setStandard(nullptr);
    }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::shared_ptr<FakeAccessibilityTrust> trust = std::make_shared<FakeAccessibilityTrust>();
    std::shared_ptr<FakeLoginItemService> loginItems = std::make_shared<FakeLoginItemService>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    test::CapturedOutput output;
};

TEST_F(SystemUtilsTest, NetworkNeedsReachableWithoutConnectionRequired) {
    machine->flags = ReachabilityFlag::reachable | 0x10000;
    EXPECT_TRUE(SystemUtils::isNetworkAvailable());
    machine->flags = ReachabilityFlag::reachable | ReachabilityFlag::connectionRequired;
    EXPECT_FALSE(SystemUtils::isNetworkAvailable());
    machine->flags = 0;
    EXPECT_FALSE(SystemUtils::isNetworkAvailable());
    EXPECT_EQ(output.lines(), (QStringList{"🌐 Network available: true", "🌐 Network available: false",
                                           "🌐 Network available: false"}));
    // Flags that cannot be read: false, silently.
    machine->flags.reset();
    output.clear();
    EXPECT_FALSE(SystemUtils::isNetworkAvailable());
    EXPECT_TRUE(output.lines().isEmpty());
}

TEST_F(SystemUtilsTest, OpenUrlRejectsWhatDoesNotParseAndReportsTheRest) {
    SystemUtils::openURL(QString());
    SystemUtils::openURL(QStringLiteral("http://exa mple.com/"));
    SystemUtils::openURL(QStringLiteral("no scheme at all"));
    EXPECT_TRUE(machine->openedUrls.isEmpty());
    machine->openSucceeds = false;
    SystemUtils::openURL(QStringLiteral("https://velmora.app/contact"));
    EXPECT_EQ(machine->openedUrls, QList<QUrl>{QUrl(QStringLiteral("https://velmora.app/contact"))});
    EXPECT_EQ(output.lines(), (QStringList{"❌ Invalid URL: ", "❌ Invalid URL: http://exa mple.com/",
                                           "❌ Invalid URL: no scheme at all",
                                           "🔗 Opened URL: https://velmora.app/contact"}));
}

TEST_F(SystemUtilsTest, AlertIsShownLaterWithOneOkButtonAndReportedAfterClosing) {
    SystemUtils::showAlert(QStringLiteral("Debug"), QStringLiteral("Details"), AlertStyle::informational);
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_TRUE(test::waitUntil([&] { return !output.lines().isEmpty(); }));
    ASSERT_EQ(alerts->shown().size(), 1);
    const Alert& alert = alerts->shown().first();
    EXPECT_EQ(alert.messageText, QStringLiteral("Debug"));
    EXPECT_EQ(alert.informativeText, QStringLiteral("Details"));
    EXPECT_EQ(alert.style, AlertStyle::informational);
    EXPECT_EQ(alert.buttons, QStringList{"OK"});
    EXPECT_EQ(output.lines(), QStringList{"🚨 Alert shown: Debug"});
}

TEST_F(SystemUtilsTest, SystemInfoBlockHasNineLinesWithTheEmbeddedStatusLines) {
    trust->setTrusted(false, QStringLiteral("no display"));
    machine->model.reset();
    SystemUtils::logSystemInfo();
    EXPECT_EQ(output.lines(),
              (QStringList{"🔧 === SYSTEM INFO ===", "   Device Name: test-host", "   Model: Unknown",
                           "   Bundle ID: app.velmora.Velmora", "🌐 Network available: true", "   Network: true",
                           "🔐 Accessibility Permission: ❌ Denied", "   Accessibility: false",
                           "🔧 ==================="}));
}

TEST_F(SystemUtilsTest, SystemInfoWithoutReadableRoutesOmitsTheNetworkLine) {
    machine->flags.reset();
    Platform::current().systemInformation.reset();
    SystemUtils::logSystemInfo();
    const QStringList lines = output.lines();
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[1], QStringLiteral("   Device Name: Unknown"));
    EXPECT_EQ(lines[4], QStringLiteral("   Network: false"));
    EXPECT_EQ(lines[5], QStringLiteral("🔐 Accessibility Permission: ✅ Granted"));
}

TEST_F(SystemUtilsTest, PermissionRequestReportsAndRecordsTheAnswer) {
    store->setBool(Constants::enableDebugMode, true);
    store->setBool(Constants::enableUsageStats, true);
    trust->setTrusted(false);
    SystemUtils::requestAccessibilityPermissions();
    const QStringList lines = output.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("🔐 Accessibility permissions requested, trusted: false"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("Analytics: accessibility_permission_granted")));
    EXPECT_EQ(lines[2], QStringLiteral("   Parameters: [\"granted\": false]"));
}

TEST_F(SystemUtilsTest, AccessibilityHelpOpensThroughTheWorkspace) {
    SystemUtils::openAccessibilitySettings();
    ASSERT_EQ(machine->openedUrls.size(), 1);
    EXPECT_TRUE(machine->openedUrls.first().isValid());
    EXPECT_EQ(output.lines(), QStringList{"🔧 Opening Accessibility Settings"});
}

TEST_F(SystemUtilsTest, AutoLaunchStatusCountsOnlyEnabled) {
    for (const LoginItemStatus status : {LoginItemStatus::notRegistered, LoginItemStatus::requiresApproval,
                                         LoginItemStatus::notFound}) {
        loginItems->setStatus(status);
        EXPECT_FALSE(SystemUtils::isAutoLaunchEnabled());
    }
    loginItems->setStatus(LoginItemStatus::enabled);
    EXPECT_TRUE(SystemUtils::isAutoLaunchEnabled());
    EXPECT_EQ(output.lines().first(), QStringLiteral("🚀 Auto Launch Status (XDG autostart): false"));
    EXPECT_EQ(output.lines().last(), QStringLiteral("🚀 Auto Launch Status (XDG autostart): true"));
}

TEST_F(SystemUtilsTest, SetAutoLaunchRecordsOnlySuccessfulChanges) {
    EXPECT_TRUE(SystemUtils::setAutoLaunch(false));
    EXPECT_FALSE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_TRUE(store->hasObject(Constants::launchAtLogin));
    EXPECT_TRUE(SystemUtils::setAutoLaunch(true));
    EXPECT_TRUE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_EQ(output.lines(), (QStringList{"✅ Auto launch disabled successfully (XDG autostart)",
                                           "✅ Auto launch enabled successfully (XDG autostart)"}));

    output.clear();
    loginItems->failNextCalls(Error{QStringLiteral("VelmoraLoginItem"), 2,
                                    QStringLiteral("Could not write /x/velmora.desktop: Permission denied")});
    EXPECT_FALSE(SystemUtils::setAutoLaunch(false));
    EXPECT_TRUE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_EQ(output.lines(), QStringList{"❌ Auto launch error: Error Domain=VelmoraLoginItem Code=2 \"Could not "
                                          "write /x/velmora.desktop: Permission denied\""});
}

} // namespace
