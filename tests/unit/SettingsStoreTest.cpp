#include "settings/Constants.h"
#include "settings/DefaultsCommand.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "settings/QSettingsStore.h"
#include "settings/SettingsSchema.h"
#include "support/CapturedOutput.h"
#include "support/Files.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

TEST(SettingsValueToBool, FollowsTheDefaultsDatabaseRules) {
    for (const QVariant& yes : {QVariant(true), QVariant(2), QVariant(0.5), QVariant("TRUE"), QVariant("Yes"),
                                QVariant(" true "), QVariant("7")})
        EXPECT_TRUE(settingsValueToBool(yes)) << yes.toString().toStdString();
    for (const QVariant& no :
         {QVariant(), QVariant(false), QVariant(0), QVariant("false"), QVariant("no"), QVariant("0"),
          QVariant(""), QVariant("truthy"), QVariant("on"), QVariant(QStringList{"true"})})
        EXPECT_FALSE(settingsValueToBool(no)) << no.toString().toStdString();
}

// Typed values outlive the store, each change is announced once, and another process's edit of the file
// (written anew and renamed over it, as editors and QSettings do) reaches the running store.
TEST(QSettingsStoreTest, ValuesPersistAndEditsByAnotherProcessArrive) {
    EXPECT_EQ(QSettingsStore().fileName(),
              QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("Velmora/Velmora.conf"));
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora.conf");
    const QByteArray date = "lastUpdateCheck=2026-05-04T03:02:01\n";
    ASSERT_TRUE(writeFile(path, "[General]\nuseShiftKey=0\n" + date));
    QSettingsStore store(path);
    QStringList announced;
    QObject::connect(&store, &SettingsStore::valueChanged,
                     [&](const QString& key) { announced.append(key); });
    for (int twice = 0; twice < 2; ++twice)
        store.setBool("LaunchAtLogin", true), store.setString("AppLanguage", "zh-Hans"),
            store.removeObject("useShiftKey");
    const QSettingsStore reopened(path);
    EXPECT_TRUE(reopened.boolForKey("LaunchAtLogin") && !reopened.hasObject("useShiftKey"));
    EXPECT_EQ(reopened.stringForKey("AppLanguage"), "zh-Hans");
    EXPECT_EQ(reopened.dateForKey("lastUpdateCheck"), QDateTime(QDate(2026, 5, 4), QTime(3, 2, 1)));
    EXPECT_FALSE(reopened.stringForKey("LaunchAtLogin") || reopened.dateForKey("AppLanguage"));
    ASSERT_TRUE(writeFile(
        path + ".new", "[General]\nLaunchAtLogin=true\nAppLanguage=zh-Hans\nenableDebugMode=true\n" + date));
    ASSERT_EQ(::rename(qPrintable(path + ".new"), qPrintable(path)), 0);
    EXPECT_TRUE(waitUntil([&] { return store.boolForKey("enableDebugMode"); }));
    EXPECT_EQ(announced, (QStringList{"LaunchAtLogin", "AppLanguage", "useShiftKey", "enableDebugMode"}));
}

// Root writes any file whatever its mode; with this capability off, a file's mode binds root as well.
void overrideFileModes(bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2];
    ::syscall(SYS_capget, &header, data);
    data[0].effective = on ? data[0].permitted : data[0].effective & ~(1u << CAP_DAC_OVERRIDE);
    ::syscall(SYS_capset, &header, data);
}

// Velmora goes on with what it could read, says what went wrong once, and never overwrites what the user had:
// a damaged file is kept aside, a read-only one is left as it is until it can be written.
const struct BadFile {
    const char* contents; // of the file; null: none
    const char* blocker;  // what stands in the way until removed: the file (%1) or its folder (%2)
    const char* said;     // in the one ❌ line, after the file's path; %3: the system's reason
} badFiles[] = {
    {"\x89PNG\r\n\x1a\n[[=", "", " is damaged: it is kept as %1.broken, "},
    {"[General]\nuseShiftKey=true\nenableDe", "", " is damaged: it is kept as %1.broken, "},
    {"[General]\nuseShiftKey=true\n", "%1", ": %3."}, // read-only
    {nullptr, "%1", ": a folder stands where the file should be."},
    {nullptr, "%2", ": %2 is not a folder."},
};

TEST(QSettingsStoreTest, AFileThatCannotBeReadOrWrittenIsSaidOnceAndKept) {
    for (const BadFile& row : badFiles) {
        QTemporaryDir dir;
        const QString path = dir.filePath("Velmora/Velmora.conf");
        const auto expand = [&](const char* text) {
            return QString::fromUtf8(text)
                .replace("%1", path)
                .replace("%2", dir.filePath("Velmora"))
                .replace("%3", strerror(EACCES));
        };
        const QString blocker = expand(row.blocker);
        if (row.contents)
            writeFile(path, row.contents) && !blocker.isEmpty() &&
                QFile::setPermissions(path, QFile::ReadOwner);
        else
            blocker == path ? QDir().mkpath(path) : writeFile(blocker, "x");
        SCOPED_TRACE(readFile(path).toStdString() + " blocked by " + blocker.toStdString());
        const QByteArray userBytes = readFile(path);
        CapturedOutput output;
        overrideFileModes(false);
        QSettingsStore store(path);
        store.setBool("enableDebugMode", true);
        store.sync(), store.setBool("LaunchAtLogin", true); // retries that fail again
        EXPECT_TRUE(store.boolForKey("enableDebugMode"));
        EXPECT_EQ(store.boolForKey("useShiftKey"), userBytes.contains("useShiftKey"));
        EXPECT_EQ(readFile(QFile::exists(path + ".broken") ? path + ".broken" : path).left(userBytes.size()),
                  userBytes);
        if (!blocker.isEmpty()) {
            EXPECT_TRUE(QFileInfo(blocker).isDir() ? QDir(blocker).removeRecursively()
                                                   : QFile::remove(blocker));
            store.sync();
        }
        overrideFileModes(true);
        EXPECT_TRUE(store.canWrite() && readFile(path).contains("LaunchAtLogin=true\nenableDebugMode=true"));
        const QStringList errors = output.linesStartingWith(QStringLiteral("❌"));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(path + expand(row.said))) << errors[0].toStdString();
    }
}

// A value the user may have stored that is not the key's default.
QVariant usersChoice(const SettingDefinition& row) {
    return row.type == SettingType::boolean ? QVariant(!row.defaultValue.toBool()) : QVariant("chosen");
}

class DefaultSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setStandard(store); }
    void TearDown() override { SettingsStore::setStandard(nullptr); }
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
};

TEST_F(DefaultSettingsTest, StartUpWritesEachKeyAsTheSchemaSaysAndKeepsTheUsersChoices) {
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
}

TEST(DefaultsCommandTest, WritesReadsAndDeletesWhatItUnderstandsAndRefusesTheRestWithoutWriting) {
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
          "write enabledebugmode true", "write enableDebugMode", "erase enableDebugMode", "",
          "write excludedApplications steam", "write useShiftKey -array yes"})
        EXPECT_EQ(run(words), 2) << words;
    EXPECT_TRUE(store.allKeys().isEmpty() && errors.size() == 9);
    for (const char* words :
         {"read excludedApplications", "write enableDebugMode -bool true", "write enableUsageStats YES",
          "write useShiftKey no", "write shortcutLayout -string gb", "read useShiftKey",
          "read shortcutLayout", "delete shortcutLayout", "write excludedApplications -array steam",
          "read excludedApplications", "write excludedApplications -array Steam org.gnome.Terminal",
          "read excludedApplications", "read", "write excludedApplications -array",
          "read excludedApplications"})
        EXPECT_EQ(run(words), 0) << words;
    EXPECT_EQ(out, (QStringList{"(", ")", "0", "gb", "(", "    \"steam\"", ")", "(", "    \"Steam\",",
                                "    \"org.gnome.Terminal\"", ")", "{", "    enableDebugMode = true;",
                                "    enableUsageStats = true;",
                                "    excludedApplications = (\"Steam\", \"org.gnome.Terminal\");",
                                "    useShiftKey = false;", "}", "(", ")"}));
    EXPECT_EQ(run("read shortcutLayout"), 1);
    EXPECT_EQ(run("delete shortcutLayout"), 1);
}

// Posts reach the observers of their name with their object, on the main thread; removing an observer, even
// from a handler during delivery, drops all its names.
TEST(NotificationCenterTest, PostsReachTheirObserversOnTheMainThreadUntilRemoved) {
    NotificationCenter center;
    int first = 0, second = 0;
    QStringList seen;
    center.addObserver(&first, "A",
                       [&](const QVariant& object) { seen.append("first " + object.toString()); });
    center.addObserver(&first, "B", [&](const QVariant&) { center.removeObserver(&second); });
    center.addObserver(&second, "A", [&](const QVariant&) {
        seen.append("second " + QThread::currentThread()->objectName());
    });
    QThread::currentThread()->setObjectName("main");
    std::thread([&] { center.post("A", "2.0"); }).join();
    EXPECT_TRUE(waitUntil([&] { return seen.size() == 2; }));
    center.post("B");
    center.post("A");
    center.removeObserver(&first);
    center.post("A", "gone");
    EXPECT_EQ(seen, (QStringList{"first 2.0", "second main", "first "}));
    EXPECT_EQ(center.observerCount("B"), 0);
}

} // namespace
