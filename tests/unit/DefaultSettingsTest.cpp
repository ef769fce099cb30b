#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class DefaultSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setStandard(store); }
    void TearDown() override { SettingsStore::setStandard(nullptr); }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    test::CapturedOutput output;
};

TEST_F(DefaultSettingsTest, EmptyStoreGetsExactlyTheElevenDefaults) {
    configureDefaultSettings();
    const std::pair<QString, bool> expected[] = {
        {"useCommandKey", true},   {"useControlKey", true},       {"useOptionKey", true},
        {"useShiftKey", false},    {"switchToEnglish", true},     {"restorePreviousLayout", true},
        {"LaunchAtLogin", true},   {"showMenuBarIcon", true},     {"enableDebugMode", false},
        {"enableUsageStats", false}, {"enableAutoUpdates", true},
    };
    QStringList keys = store->allKeys();
    keys.sort();
    QStringList expectedKeys;
    for (const auto& [key, value] : expected) {
        expectedKeys.append(key);
        EXPECT_EQ(store->object(key).typeId(), QMetaType::Bool) << key.toStdString();
        EXPECT_EQ(store->boolForKey(key), value) << key.toStdString();
    }
    expectedKeys.sort();
    EXPECT_EQ(keys, expectedKeys);
}

TEST_F(DefaultSettingsTest, UserChoicesAreKeptButTheIconAlwaysComesBack) {
    store->setBool(Constants::useShiftKey, true);
    store->setBool(Constants::useCommandKey, false);
    store->setBool(Constants::showMenuBarIcon, false);
    store->setBool(Constants::enableDebugMode, true);
    store->setBool(Constants::enableAutoUpdates, false);
    configureDefaultSettings();
    EXPECT_TRUE(store->boolForKey(Constants::useShiftKey));
    EXPECT_FALSE(store->boolForKey(Constants::useCommandKey));
    EXPECT_TRUE(store->boolForKey(Constants::showMenuBarIcon));
    EXPECT_TRUE(store->boolForKey(Constants::enableDebugMode));
    EXPECT_FALSE(store->boolForKey(Constants::enableAutoUpdates));
}

TEST_F(DefaultSettingsTest, PresentValueOfAnotherTypeIsLeftInPlace) {
    store->setObject(Constants::useControlKey, QStringLiteral("no"));
    store->setObject(Constants::launchAtLogin, 0);
    configureDefaultSettings();
    EXPECT_EQ(store->object(Constants::useControlKey), QVariant(QStringLiteral("no")));
    EXPECT_EQ(store->object(Constants::launchAtLogin), QVariant(0));
}

TEST_F(DefaultSettingsTest, ConfiguredLineIsPrintedWithDebugModeOffAndOn) {
    configureDefaultSettings();
    store->setBool(Constants::enableDebugMode, true);
    configureDefaultSettings();
    EXPECT_EQ(output.lines(), (QStringList{"📋 Default settings configured", "📋 Default settings configured"}));
}

TEST_F(DefaultSettingsTest, ResetRestoresTheNineUserSettingsAndKeepsTheRest) {
    configureDefaultSettings();
    const QDateTime checked(QDate(2026, 11, 30), QTime(8, 0));
    for (const QString& key : {Constants::useCommandKey, Constants::useControlKey, Constants::useOptionKey,
                               Constants::switchToEnglish, Constants::restorePreviousLayout,
                               Constants::launchAtLogin, Constants::showMenuBarIcon, Constants::enableAutoUpdates})
        store->setBool(key, false);
    store->setBool(Constants::useShiftKey, true);
    store->setBool(Constants::enableDebugMode, true);
    store->setBool(Constants::enableUsageStats, true);
    store->setString(Constants::appLanguage, QStringLiteral("uk"));
    store->setBool(Constants::hasLaunchedBefore, true);
    store->setBool(Constants::hasShownPermissionRequest, true);
    store->setString(Constants::skipUpdateVersion, QStringLiteral("2.0.1"));
    store->setDate(Constants::lastUpdateCheck, checked);
    store->setString(Constants::shortcutLayout, QStringLiteral("gb"));
    output.clear();

    resetAllSettings();

    EXPECT_FALSE(store->hasObject(Constants::shortcutLayout));
    EXPECT_FALSE(store->boolForKey(Constants::useShiftKey));
    for (const QString& key : {Constants::useCommandKey, Constants::useControlKey, Constants::useOptionKey,
                               Constants::switchToEnglish, Constants::restorePreviousLayout,
                               Constants::launchAtLogin, Constants::showMenuBarIcon, Constants::enableAutoUpdates})
        EXPECT_TRUE(store->boolForKey(key)) << key.toStdString();
    EXPECT_TRUE(store->boolForKey(Constants::enableDebugMode));
    EXPECT_TRUE(store->boolForKey(Constants::enableUsageStats));
    EXPECT_EQ(store->stringForKey(Constants::appLanguage), QStringLiteral("uk"));
    EXPECT_TRUE(store->boolForKey(Constants::hasLaunchedBefore));
    EXPECT_TRUE(store->boolForKey(Constants::hasShownPermissionRequest));
    EXPECT_EQ(store->stringForKey(Constants::skipUpdateVersion), QStringLiteral("2.0.1"));
    EXPECT_EQ(store->dateForKey(Constants::lastUpdateCheck), checked);

    ASSERT_EQ(output.lines().size(), 1);
    EXPECT_TRUE(output.lines().first().startsWith(QStringLiteral("🐛 [")));
    EXPECT_TRUE(output.lines().first().endsWith(QStringLiteral("] resetAllSettings(): All settings reset to defaults")));
}

} // namespace
