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

struct CommandCase {
    QStringList arguments;
    int status;
    QVariant stored; // under the key named in the arguments
};

TEST(DefaultsCommandTest, writesWhatItCanReadAndRefusesTheRestWithoutWriting) {
    const CommandCase cases[] = {
        {{"write", "enableDebugMode", "-bool", "true"}, 0, true},
        {{"write", "enableUsageStats", "YES"}, 0, true},
        {{"write", "useShiftKey", "no"}, 0, false},
        {{"write", "useShiftKey", "-bool", "0"}, 0, false},
        {{"write", "shortcutLayout", "-string", "gb"}, 0, "gb"},
        {{"write", "enableDebugMode", "maybe"}, 2, {}},
        {{"write", "enableDebugMode", "-string", "true"}, 2, {}},
        {{"write", "AppLanguage", "-bool", "true"}, 2, {}},
        {{"write", "enabledebugmode", "true"}, 2, {}},
        {{"write", "lastUpdateCheck", "yesterday"}, 2, {}},
        {{"write", "enableDebugMode"}, 2, {}},
        {{"write", "enableDebugMode", "-bool", "true", "extra"}, 2, {}},
        {{"erase", "enableDebugMode"}, 2, {}},
        {{}, 2, {}},
        {{"delete", "skipUpdateVersion"}, 1, {}},
        {{"delete"}, 2, {}},
    };
    for (const CommandCase& row : cases) {
        InMemorySettingsStore store;
        QStringList errors;
        const int status =
            DefaultsCommand(store, {}, [&](const QString& line) { errors.append(line); }).run(row.arguments);
        EXPECT_EQ(status, row.status) << row.arguments.join(u' ').toStdString();
        EXPECT_EQ(store.object(row.arguments.value(1)), row.stored) << row.arguments.join(u' ').toStdString();
        EXPECT_EQ(errors.isEmpty(), status == 0);
    }
}

TEST(DefaultsCommandTest, readPrintsBooleansAsDigitsAndEverythingSortedAndDeleteRemoves) {
    InMemorySettingsStore store;
    store.setBool(Constants::useShiftKey, true);
    store.setString(Constants::appLanguage, QStringLiteral("uk"));
    store.setBool(Constants::enableDebugMode, false);
    QStringList out;
    DefaultsCommand command(
        store, [&](const QString& line) { out.append(line); }, [](const QString&) {});
    for (const char* key : {"useShiftKey", "enableDebugMode", "AppLanguage"})
        EXPECT_EQ(command.run({"read", key}), 0);
    EXPECT_EQ(command.run({"read"}), 0);
    EXPECT_EQ(command.run({"read", "skipUpdateVersion"}), 1);
    EXPECT_EQ(out, (QStringList{"1", "0", "uk", "{", "    AppLanguage = uk;", "    enableDebugMode = false;",
                                "    useShiftKey = true;", "}"}));
    EXPECT_EQ(command.run({"delete", "AppLanguage"}), 0);
    EXPECT_FALSE(store.hasObject(Constants::appLanguage));
}

} // namespace
