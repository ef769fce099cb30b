#include "settings/Constants.h"
#include "settings/DefaultsCommand.h"
#include "settings/InMemorySettingsStore.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class DefaultsCommandTest : public ::testing::Test {
protected:
    int run(const QStringList& arguments) {
        out.clear();
        err.clear();
        DefaultsCommand command(
            store, [this](const QString& line) { out.append(line); }, [this](const QString& line) { err.append(line); });
        return command.run(arguments);
    }
    InMemorySettingsStore store;
    QStringList out;
    QStringList err;
};

TEST_F(DefaultsCommandTest, WriteBooleansWithOrWithoutTheTypeFlag) {
    EXPECT_EQ(run({"write", "enableDebugMode", "-bool", "true"}), 0);
    EXPECT_EQ(store.object(Constants::enableDebugMode), QVariant(true));
    EXPECT_EQ(run({"write", "enableUsageStats", "YES"}), 0);
    EXPECT_EQ(store.object(Constants::enableUsageStats), QVariant(true));
    EXPECT_EQ(run({"write", "useShiftKey", "-bool", "0"}), 0);
    EXPECT_EQ(store.object(Constants::useShiftKey), QVariant(false));
    EXPECT_EQ(run({"write", "shortcutLayout", "-string", "gb"}), 0);
    EXPECT_EQ(store.object(Constants::shortcutLayout), QVariant(QStringLiteral("gb")));
    EXPECT_TRUE(err.isEmpty());
}

TEST_F(DefaultsCommandTest, BadValuesKeysAndShapesAreRefusedWithoutWriting) {
    EXPECT_EQ(run({"write", "enableDebugMode", "maybe"}), 2);
    EXPECT_EQ(run({"write", "enableDebugMode", "-string", "true"}), 2);
    EXPECT_EQ(run({"write", "AppLanguage", "-bool", "true"}), 2);
    EXPECT_EQ(run({"write", "enabledebugmode", "true"}), 2);
    EXPECT_EQ(run({"write", "lastUpdateCheck", "yesterday"}), 2);
    EXPECT_EQ(run({"write", "enableDebugMode"}), 2);
    EXPECT_EQ(run({"write", "enableDebugMode", "-bool", "true", "extra"}), 2);
    EXPECT_EQ(run({"erase", "enableDebugMode"}), 2);
    EXPECT_EQ(run({}), 2);
    EXPECT_TRUE(store.allKeys().isEmpty());
    EXPECT_FALSE(err.isEmpty());
}

TEST_F(DefaultsCommandTest, ReadPrintsBooleansAsDigitsAndEverythingSorted) {
    store.setBool(Constants::useShiftKey, true);
    store.setString(Constants::appLanguage, QStringLiteral("uk"));
    store.setBool(Constants::enableDebugMode, false);
    EXPECT_EQ(run({"read", "useShiftKey"}), 0);
    EXPECT_EQ(out, QStringList{"1"});
    EXPECT_EQ(run({"read", "enableDebugMode"}), 0);
    EXPECT_EQ(out, QStringList{"0"});
    EXPECT_EQ(run({"read", "AppLanguage"}), 0);
    EXPECT_EQ(out, QStringList{"uk"});
    EXPECT_EQ(run({"read"}), 0);
    EXPECT_EQ(out, (QStringList{"{", "    AppLanguage = uk;", "    enableDebugMode = false;", "    useShiftKey = true;", "}"}));
    EXPECT_EQ(run({"read", "skipUpdateVersion"}), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(err.size(), 1);
}

TEST_F(DefaultsCommandTest, DeleteRemovesOnlyWhatIsThere) {
    store.setString(Constants::skipUpdateVersion, QStringLiteral("2.0"));
    EXPECT_EQ(run({"delete", "skipUpdateVersion"}), 0);
    EXPECT_FALSE(store.hasObject(Constants::skipUpdateVersion));
    EXPECT_EQ(run({"delete", "skipUpdateVersion"}), 1);
    EXPECT_EQ(run({"delete"}), 2);
}

} // namespace
