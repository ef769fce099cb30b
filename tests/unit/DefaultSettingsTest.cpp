#include "settings/Constants.h"
#include "settings/DefaultsCommand.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/SettingsSchema.h"
#include "support/CapturedOutput.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A value the user may have stored that is not the key's default.
QVariant usersChoice(const SettingDefinition& row) {
    return row.type == SettingType::boolean ? QVariant(!row.defaultValue.toBool()) : QVariant("chosen");
}

class DefaultSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setStandard(store); }
    void TearDown() override { SettingsStore::setStandard(nullptr); }
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    test::CapturedOutput output;
};

TEST_F(DefaultSettingsTest, startUpWritesEachKeyAsTheSchemaSaysAndKeepsTheUsersChoices) {
    for (const bool chosen : {false, true}) {
        for (const SettingDefinition& row : SettingsSchema::all())
            chosen ? store->setObject(row.key, usersChoice(row)) : store->removeObject(row.key);
        configureDefaultSettings();
        for (const SettingDefinition& row : SettingsSchema::all()) {
            const bool written =
                row.atStartUp == StartUpWrite::always || (!chosen && row.atStartUp != StartUpWrite::never);
            EXPECT_EQ(store->object(row.key), written  ? row.defaultValue
                                              : chosen ? usersChoice(row)
                                                       : QVariant())
                << row.key.toStdString() << (chosen ? " chosen" : " absent");
        }
        // The two rules a user notices: a hidden icon comes back at the next start; Shift alone is typing.
        EXPECT_TRUE(chosen ? store->boolForKey(Constants::showMenuBarIcon)
                           : !store->boolForKey(Constants::useShiftKey));
    }
    EXPECT_EQ(output.lines(), QStringList(2, QStringLiteral("📋 Default settings configured")));
}

TEST_F(DefaultSettingsTest, resetWritesTheDefaultsOfTheKeysItOwnsAndKeepsTheRest) {
    for (const SettingDefinition& row : SettingsSchema::all())
        store->setObject(row.key, usersChoice(row));
    resetAllSettings();
    for (const SettingDefinition& row : SettingsSchema::all())
        EXPECT_EQ(store->object(row.key), row.writtenByReset ? row.defaultValue : usersChoice(row))
            << row.key.toStdString();
    EXPECT_TRUE(output.lines().value(0).endsWith(
        QStringLiteral("] resetAllSettings(): All settings reset to defaults")));
}

TEST(DefaultsCommandTest, writesReadsAndDeletesWhatItUnderstandsAndRefusesTheRestWithoutWriting) {
    InMemorySettingsStore store;
    QStringList out, errors;
    DefaultsCommand command(
        store, [&](const QString& line) { out.append(line); },
        [&](const QString& line) { errors.append(line); });
    const auto run = [&](const char* words) {
        return command.run(QString::fromLatin1(words).split(u' ', Qt::SkipEmptyParts));
    };
    for (const char* words :
         {"write enableDebugMode maybe", "write enableDebugMode -string true", "write AppLanguage -bool true",
          "write enabledebugmode true", "write lastUpdateCheck x", "write enableDebugMode",
          "write enableDebugMode -bool true extra", "erase enableDebugMode", "", "delete"})
        EXPECT_EQ(run(words), 2) << words;
    EXPECT_TRUE(store.allKeys().isEmpty());
    EXPECT_EQ(errors.size(), 10);
    for (const char* words :
         {"write enableDebugMode -bool true", "write enableUsageStats YES", "write useShiftKey no",
          "write LaunchAtLogin -bool 0", "write shortcutLayout -string gb", "read useShiftKey",
          "read enableDebugMode", "read shortcutLayout", "delete shortcutLayout", "read"})
        EXPECT_EQ(run(words), 0) << words;
    EXPECT_EQ(out,
              (QStringList{"0", "1", "gb", "{", "    LaunchAtLogin = false;", "    enableDebugMode = true;",
                           "    enableUsageStats = true;", "    useShiftKey = false;", "}"}));
    EXPECT_EQ(run("read shortcutLayout"), 1);
    EXPECT_EQ(run("delete shortcutLayout"), 1);
}

} // namespace
