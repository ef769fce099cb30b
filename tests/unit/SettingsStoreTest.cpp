#include "settings/InMemorySettingsStore.h"
#include "settings/QSettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
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
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(text) >= 0;
}

TEST(SettingsValueToBool, followsTheDefaultsDatabaseRules) {
    const std::pair<QVariant, bool> cases[] = {
        {QVariant(), false}, {true, true},     {false, false},
        {2, true},           {0, false},       {0.5, true},
        {"TRUE", true},      {"Yes", true},    {" true ", true},
        {"7", true},         {"false", false}, {"no", false},
        {"0", false},        {"", false},      {"truthy", false},
        {"on", false},       {"y", false},     {QStringList{"true"}, false}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(settingsValueToBool(value), expected) << value.toString().toStdString();
}

template <typename Store> class SettingsStoreContract : public ::testing::Test {};
using StoreTypes = ::testing::Types<InMemorySettingsStore, QSettingsStore>;
TYPED_TEST_SUITE(SettingsStoreContract, StoreTypes);

TYPED_TEST(SettingsStoreContract, typedValuesRoundTripAndEachChangeIsAnnouncedOnce) {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    if constexpr (std::is_same_v<TypeParam, QSettingsStore>)
        store = std::make_unique<QSettingsStore>(dir.filePath(QStringLiteral("Velmora.conf")));
    else
        store = std::make_unique<InMemorySettingsStore>();
    QStringList announced;
    QObject::connect(store.get(), &SettingsStore::valueChanged,
                     [&](const QString& key) { announced.append(key); });
    EXPECT_FALSE(store->boolForKey("useShiftKey") || store->stringForKey("AppLanguage") ||
                 store->dateForKey("x"));
    const QDateTime when(QDate(2026, 3, 1), QTime(10, 20, 30, 456));
    store->setBool("LaunchAtLogin", true);
    store->setBool("LaunchAtLogin", true);
    store->setString("AppLanguage", "zh-Hans");
    store->setDate("lastUpdateCheck", when);
    EXPECT_TRUE(store->boolForKey("LaunchAtLogin") && !store->hasObject("launchAtLogin"));
    EXPECT_EQ(store->stringForKey("AppLanguage"), "zh-Hans");
    EXPECT_EQ(store->dateForKey("lastUpdateCheck"), when);
    // A Boolean has no string reading; a string that is not a date has no date reading.
    EXPECT_FALSE(store->stringForKey("LaunchAtLogin") || store->dateForKey("AppLanguage"));
    store->removeObject("AppLanguage");
    store->removeObject("AppLanguage");
    EXPECT_EQ(store->allKeys().size(), 2);
    EXPECT_EQ(announced, (QStringList{"LaunchAtLogin", "AppLanguage", "lastUpdateCheck", "AppLanguage"}));
}

TEST(QSettingsStoreTest, handWrittenTextReadsWithTheStoreRulesAndOutlivesTheStore) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.conf"));
    ASSERT_TRUE(
        write(path, "[General]\nenableDebugMode=YES\nuseShiftKey=0\nlastUpdateCheck=2026-05-04T03:02:01\n"));
    QSettingsStore(path).setBool("useControlKey", true);
    const QSettingsStore store(path);
    EXPECT_TRUE(store.boolForKey("enableDebugMode") && store.boolForKey("useControlKey"));
    EXPECT_TRUE(store.hasObject("useShiftKey") && !store.boolForKey("useShiftKey"));
    EXPECT_EQ(store.dateForKey("lastUpdateCheck"), QDateTime(QDate(2026, 5, 4), QTime(3, 2, 1)));
}

TEST(QSettingsStoreTest, editsByAnotherProcessReachTheRunningStoreOfTheConfigHome) {
    QSettingsStore store;
    const QString path = store.fileName();
    EXPECT_EQ(path, QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("Velmora/Velmora.conf"));
    store.setBool("useShiftKey", true);
    QStringList announced;
    QObject::connect(&store, &SettingsStore::valueChanged,
                     [&](const QString& key) { announced.append(key); });
    // A new file renamed over the old one, the way editors and QSettings write.
    ASSERT_TRUE(write(path + ".new", "[General]\nuseShiftKey=true\nenableDebugMode=true\n"));
    ASSERT_TRUE(::rename(qPrintable(path + ".new"), qPrintable(path)) == 0);
    EXPECT_TRUE(test::waitUntil([&] { return store.boolForKey("enableDebugMode"); }));
    EXPECT_EQ(announced, QStringList{"enableDebugMode"})
        << "the unchanged key, read back as text, is not news";
    // The watch survives the rename; the store's own value survives another writer's edit of another key.
    QSettings other(path, QSettings::NativeFormat);
    other.setValue("useControlKey", true);
    other.sync();
    EXPECT_TRUE(test::waitUntil([&] { return store.boolForKey("useControlKey"); }));
    EXPECT_TRUE(store.boolForKey("useShiftKey"));
}

// Root writes any file whatever its mode; without this capability a file's mode binds root as well.
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, saved_, sizeof reduced);
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        ::syscall(SYS_capset, &header_, reduced);
    }
    ~WithoutFileOverride() { ::syscall(SYS_capset, &header_, saved_); }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
};

struct BadFile {
    const char* name;
    // Puts the trouble in place for the file at `path`; returns what ends it when removed, if anything must.
    QString (*prepare)(const QString& path);
    // What the one ❌ line says after the path (%1), of the folder (%2) or the system's reason (%3).
    const char* said;
};

const BadFile badFiles[] = {
    {"binary junk",
     [](const QString& path) { return write(path, QByteArray("\x89PNG\r\n\0\x1a\n[[=", 12)), QString(); },
     " is damaged: it is kept as %1.broken, "},
    {"cut short",
     [](const QString& path) { return write(path, "[General]\nuseShiftKey=true\nenableDe"), QString(); },
     " is damaged: it is kept as %1.broken, "},
    {"read-only",
     [](const QString& path) {
         write(path, "[General]\nuseShiftKey=true\n");
         QFile::setPermissions(path, QFile::ReadOwner);
         return path;
     },
     ": %3."},
    {"a folder in its place", [](const QString& path) { return QDir().mkpath(path), path; },
     ": a folder stands where the file should be."},
    {"a file in place of its folder",
     [](const QString& path) { return write(QFileInfo(path).path(), "x"), QFileInfo(path).path(); },
     ": %2 is not a folder."},
};

// Velmora goes on with what it could read, says what went wrong once, and never overwrites what the user had.
TEST(QSettingsStoreTest, aFileThatCannotBeReadOrWrittenIsSaidOnceAndKept) {
    for (const BadFile& row : badFiles) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Velmora/Velmora.conf"));
        const QString blocker = row.prepare(path);
        const QByteArray userBytes = read(path);
        const WithoutFileOverride asAUser;
        test::CapturedOutput output;
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
        EXPECT_TRUE(store.canWrite() && read(path).contains("enableDebugMode=true"));
        const QString said = QString::fromUtf8(row.said)
                                 .replace("%1", path)
                                 .replace("%2", QFileInfo(path).path())
                                 .replace("%3", strerror(EACCES));
        const QStringList errors = output.linesStartingWith(QStringLiteral("❌"));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(path + said)) << errors[0].toStdString();
    }
}

} // namespace
