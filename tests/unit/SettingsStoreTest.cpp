#include "settings/QSettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace velmora;

namespace {

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString& path, const QByteArray& text) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) && file.write(text) >= 0;
}

TEST(SettingsValueToBool, followsTheDefaultsDatabaseRules) {
    for (const QVariant yes : {QVariant(true), QVariant(2), QVariant(0.5), QVariant("TRUE"), QVariant("Yes"),
                               QVariant(" true "), QVariant("7")})
        EXPECT_TRUE(settingsValueToBool(yes)) << yes.toString().toStdString();
    for (const QVariant no :
         {QVariant(), QVariant(false), QVariant(0), QVariant("false"), QVariant("no"), QVariant("0"),
          QVariant(""), QVariant("truthy"), QVariant("on"), QVariant(QStringList{"true"})})
        EXPECT_FALSE(settingsValueToBool(no)) << no.toString().toStdString();
}

TEST(QSettingsStoreTest, typedValuesOutliveTheStoreEachChangeIsAnnouncedOnceAndHandEditsReadByItsRules) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora.conf");
    ASSERT_TRUE(
        write(path, "[General]\nenableDebugMode=YES\nuseShiftKey=0\nlastUpdateCheck=2026-05-04T03:02:01\n"));
    QSettingsStore store(path);
    QStringList announced;
    QObject::connect(&store, &SettingsStore::valueChanged,
                     [&](const QString& key) { announced.append(key); });
    for (int twice = 0; twice < 2; ++twice) {
        store.setBool("LaunchAtLogin", true);
        store.setString("AppLanguage", "zh-Hans");
        store.removeObject("useShiftKey");
    }
    const QSettingsStore reopened(path);
    EXPECT_TRUE(reopened.boolForKey("enableDebugMode") && reopened.boolForKey("LaunchAtLogin"));
    EXPECT_FALSE(reopened.hasObject("useShiftKey") || reopened.hasObject("launchAtLogin"));
    EXPECT_EQ(reopened.stringForKey("AppLanguage"), "zh-Hans");
    EXPECT_EQ(reopened.dateForKey("lastUpdateCheck"), QDateTime(QDate(2026, 5, 4), QTime(3, 2, 1)));
    // A Boolean has no string reading; a string that is not a date has no date reading.
    EXPECT_FALSE(reopened.stringForKey("LaunchAtLogin") || reopened.dateForKey("AppLanguage"));
    EXPECT_EQ(announced, (QStringList{"LaunchAtLogin", "AppLanguage", "useShiftKey"}));
}

TEST(QSettingsStoreTest, editsByAnotherProcessReachTheRunningStore) {
    EXPECT_EQ(QSettingsStore().fileName(),
              QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("Velmora/Velmora.conf"));
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora.conf");
    QSettingsStore store(path);
    store.setBool("useShiftKey", true);
    QStringList announced;
    QObject::connect(&store, &SettingsStore::valueChanged,
                     [&](const QString& key) { announced.append(key); });
    // A new file renamed over the old one, the way editors and QSettings write.
    ASSERT_TRUE(write(path + ".new", "[General]\nuseShiftKey=true\nenableDebugMode=true\n"));
    ASSERT_EQ(::rename(qPrintable(path + ".new"), qPrintable(path)), 0);
    EXPECT_TRUE(test::waitUntil([&] { return store.boolForKey("enableDebugMode"); }));
    EXPECT_EQ(announced, QStringList{"enableDebugMode"})
        << "the unchanged key, read back as text, is no news";
    // The watch survives the rename; the store's own value survives another writer's edit of another key.
    QSettings other(path, QSettings::NativeFormat);
    other.setValue("useControlKey", true);
    other.sync();
    EXPECT_TRUE(test::waitUntil([&] { return store.boolForKey("useControlKey"); }));
    EXPECT_TRUE(store.boolForKey("useShiftKey"));
}

// Root writes any file whatever its mode; with this capability off, a file's mode binds root as well.
void overrideFileModes(bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2];
    ::syscall(SYS_capget, &header, data);
    data[0].effective = on ? data[0].permitted : data[0].effective & ~(1u << CAP_DAC_OVERRIDE);
    ::syscall(SYS_capset, &header, data);
}

struct BadFile {
    const char* contents; // of the file; null: none
    const char* blocker;  // what stands in the way until removed: the file (%1) or its folder (%2)
    const char* said;     // in the one ❌ line, after the file's path; %3: the system's reason
};

const BadFile badFiles[] = {
    {"\x89PNG\r\n\x1a\n[[=", "", " is damaged: it is kept as %1.broken, "},
    {"[General]\nuseShiftKey=true\nenableDe", "", " is damaged: it is kept as %1.broken, "},
    {"[General]\nuseShiftKey=true\n", "%1", ": %3."}, // read-only
    {nullptr, "%1", ": a folder stands where the file should be."},
    {nullptr, "%2", ": %2 is not a folder."},
};

// Velmora goes on with what it could read, says what went wrong once, and never overwrites what the user had.
TEST(QSettingsStoreTest, aFileThatCannotBeReadOrWrittenIsSaidOnceAndKept) {
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
            write(path, row.contents) && !blocker.isEmpty() && QFile::setPermissions(path, QFile::ReadOwner);
        else
            blocker == path ? QDir().mkpath(path) : write(blocker, "x");
        SCOPED_TRACE(read(path).toStdString() + " blocked by " + blocker.toStdString());
        const QByteArray userBytes = read(path);
        test::CapturedOutput output;
        overrideFileModes(false);
        QSettingsStore store(path);
        store.setBool("enableDebugMode", true);
        EXPECT_TRUE(store.boolForKey("enableDebugMode"));
        EXPECT_EQ(store.boolForKey("useShiftKey"), userBytes.contains("useShiftKey"));
        EXPECT_EQ(read(QFile::exists(path + ".broken") ? path + ".broken" : path).left(userBytes.size()),
                  userBytes);
        if (!blocker.isEmpty()) {
            EXPECT_TRUE(QFileInfo(blocker).isDir() ? QDir(blocker).removeRecursively()
                                                   : QFile::remove(blocker));
            store.sync();
        }
        overrideFileModes(true);
        EXPECT_TRUE(store.canWrite() && read(path).contains("enableDebugMode=true"));
        const QStringList errors = output.linesStartingWith(QStringLiteral("❌"));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(path + expand(row.said))) << errors[0].toStdString();
    }
}

} // namespace
