#include "switching/SystemUtils.h"
#include "fakes/FakeAccessibilityTrust.h"
#include "fakes/FakeMachine.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "platform/Platform.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class SystemUtilsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform platform;
        platform.accessibility = trust, platform.reachability = machine, platform.systemInformation = machine;
        platform.workspace = machine, platform.alerts = alerts;
        Platform::install(platform);
    }
    void TearDown() override { Platform::install({}); }

    std::shared_ptr<FakeAccessibilityTrust> trust = std::make_shared<FakeAccessibilityTrust>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    test::CapturedOutput output;
};

TEST_F(SystemUtilsTest, NetworkNeedsReachableWithoutConnectionRequired) {
    const std::pair<std::optional<uint32_t>, bool> cases[] = {
        {ReachabilityFlag::reachable | 0x10000, true},
        {ReachabilityFlag::reachable | ReachabilityFlag::connectionRequired, false},
        {0, false},
        {std::nullopt, false},
    };
    for (const auto& [flags, available] : cases) {
        machine->flags = flags;
        EXPECT_EQ(SystemUtils::isNetworkAvailable(), available) << flags.value_or(-1);
    }
}

TEST_F(SystemUtilsTest, OpenUrlRejectsWhatDoesNotParseAndAlertsComeLater) {
    for (const char* url : {"", "http://exa mple.com/", "no scheme at all", "https://velmora.app/contact"})
        SystemUtils::openURL(QString::fromUtf8(url));
    EXPECT_EQ(machine->openedUrls, QList<QUrl>{QUrl(QStringLiteral("https://velmora.app/contact"))});
    SystemUtils::showAlert(QStringLiteral("Debug"), QStringLiteral("Details"), AlertStyle::informational);
    EXPECT_TRUE(alerts->shown().isEmpty());
    ASSERT_TRUE(test::waitUntil([&] { return !alerts->shown().isEmpty(); }));
    EXPECT_EQ(alerts->shown().first().buttons, QStringList{"OK"});
}

// The system information block heads the trace.
TEST_F(SystemUtilsTest, SystemInfoTrace) {
    trust->setTrusted(false, QStringLiteral("no display"));
    machine->model.reset();
    SystemUtils::logSystemInfo();
    EXPECT_EQ(output.lines(),
              (QStringList{"🔧 === SYSTEM INFO ===", "   Device Name: test-host", "   Model: Unknown",
                           "   Bundle ID: app.velmora.Velmora", "🌐 Network available: true",
                           "   Network: true", "🔐 Accessibility Permission: ❌ Denied",
                           "   Accessibility: false", "🔧 ==================="}));
}

} // namespace
