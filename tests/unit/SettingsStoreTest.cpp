#include "settings/InMemorySettingsStore.h"
#include "settings/QSettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(SettingsValueToBool, FollowsTheDefaultsDatabaseRules) {
    EXPECT_FALSE(settingsValueToBool(QVariant()));
    EXPECT_TRUE(settingsValueToBool(true));
    EXPECT_FALSE(settingsValueToBool(false));
    EXPECT_TRUE(settingsValueToBool(2));
    EXPECT_FALSE(settingsValueToBool(0));
    EXPECT_TRUE(settingsValueToBool(0.5));
    for (const char* yes : {"true", "TRUE", "yes", "Yes", "1", " true ", "7"})
        EXPECT_TRUE(settingsValueToBool(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"false", "no", "0", "", "truthy", "on", "y"})
        EXPECT_FALSE(settingsValueToBool(QString::fromLatin1(no))) << no;
    EXPECT_FALSE(settingsValueToBool(QStringList{"true"}));
}

// The same contract holds for both stores.
template <typename Store> class SettingsStoreContract : public ::testing::Test {
protected:
    std::unique_ptr<SettingsStore> make() {
        if constexpr (std::is_same_v<Store, QSettingsStore>)
            return std::make_unique<QSettingsStore>(dir.filePath(QStringLiteral("Velmora.conf")));
        else
            return std::make_unique<InMemorySettingsStore>();
    }
    QTemporaryDir dir;
};
using StoreTypes = ::testing::Types<InMemorySettingsStore, QSettingsStore>;
TYPED_TEST_SUITE(SettingsStoreContract, StoreTypes);

TYPED_TEST(SettingsStoreContract, AbsentKeysReadAsEmptyValues) {
    auto store = this->make();
    EXPECT_FALSE(store->hasObject(QStringLiteral("useShiftKey")));
    EXPECT_FALSE(store->boolForKey(QStringLiteral("useShiftKey")));
    EXPECT_FALSE(store->stringForKey(QStringLiteral("AppLanguage")).has_value());
    EXPECT_FALSE(store->dateForKey(QStringLiteral("lastUpdateCheck")).has_value());
    EXPECT_TRUE(store->allKeys().isEmpty());
}

TYPED_TEST(SettingsStoreContract, TypedValuesRoundTripAndKeysAreCaseSensitive) {
    auto store = this->make();
    const QDateTime when = QDateTime::fromString(QStringLiteral("2026-03-01T10:20:30.456Z"), Qt::ISODateWithMs);
    store->setBool(QStringLiteral("LaunchAtLogin"), true);
    store->setString(QStringLiteral("AppLanguage"), QStringLiteral("zh-Hans"));
    store->setDate(QStringLiteral("lastUpdateCheck"), when);
    EXPECT_TRUE(store->boolForKey(QStringLiteral("LaunchAtLogin")));
    EXPECT_FALSE(store->hasObject(QStringLiteral("launchAtLogin")));
    EXPECT_EQ(store->stringForKey(QStringLiteral("AppLanguage")), QStringLiteral("zh-Hans"));
    EXPECT_EQ(store->dateForKey(QStringLiteral("lastUpdateCheck")), when);
    // A Boolean has no string reading; a string that is not a date has no date reading.
    EXPECT_FALSE(store->stringForKey(QStringLiteral("LaunchAtLogin")).has_value());
    EXPECT_FALSE(store->dateForKey(QStringLiteral("AppLanguage")).has_value());

    store->removeObject(QStringLiteral("AppLanguage"));
    EXPECT_FALSE(store->hasObject(QStringLiteral("AppLanguage")));
    EXPECT_EQ(store->allKeys().size(), 2);
}

TYPED_TEST(SettingsStoreContract, EveryChangeIsAnnouncedOnceWithItsKey) {
    auto store = this->make();
    QStringList announced;
    QObject::connect(store.get(), &SettingsStore::valueChanged, [&](const QString& key) { announced.append(key); });
    store->setBool(QStringLiteral("useShiftKey"), true);
    store->setBool(QStringLiteral("useShiftKey"), true);
    store->setString(QStringLiteral("AppLanguage"), QStringLiteral("uk"));
    store->removeObject(QStringLiteral("useShiftKey"));
    store->removeObject(QStringLiteral("useShiftKey"));
    EXPECT_EQ(announced, (QStringList{"useShiftKey", "AppLanguage", "useShiftKey"}));
}

TEST(QSettingsStoreTest, StandardFileLivesUnderTheConfigHome) {
    QSettingsStore store;
    EXPECT_EQ(store.fileName(),
              QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("Velmora/Velmora.conf")));
}

TEST(QSettingsStoreTest, ValuesPersistAcrossInstances) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.conf"));
    {
        QSettingsStore store(path);
        store.setBool(QStringLiteral("useShiftKey"), true);
        store.setDate(QStringLiteral("lastUpdateCheck"), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    }
    QSettingsStore reopened(path);
    EXPECT_TRUE(reopened.boolForKey(QStringLiteral("useShiftKey")));
    EXPECT_EQ(reopened.dateForKey(QStringLiteral("lastUpdateCheck")),
              QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
}

TEST(QSettingsStoreTest, HandEditedTextValuesReadWithTheStoreRules) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.conf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nenableDebugMode=YES\nuseShiftKey=0\nlastUpdateCheck=2026-05-04T03:02:01\n");
    file.close();
    QSettingsStore store(path);
    EXPECT_TRUE(store.boolForKey(QStringLiteral("enableDebugMode")));
    EXPECT_FALSE(store.boolForKey(QStringLiteral("useShiftKey")));
    EXPECT_TRUE(store.hasObject(QStringLiteral("useShiftKey")));
    EXPECT_EQ(store.dateForKey(QStringLiteral("lastUpdateCheck")),
              QDateTime(QDate(2026, 5, 4), QTime(3, 2, 1)));
}

TEST(QSettingsStoreTest, EditsByAnotherProcessReachTheRunningStore) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.conf"));
    QSettingsStore store(path);
    store.setBool(QStringLiteral("useControlKey"), true);
    store.sync();
    QStringList announced;
    QObject::connect(&store, &SettingsStore::valueChanged, [&](const QString& key) { announced.append(key); });

    // Another process replaces the file the way editors and QSettings do:
    // a new file renamed over the old one.
    const QString script = QStringLiteral("printf '[General]\\nuseControlKey=true\\nenableDebugMode=true\\n' > '%1.new' "
                                          "&& mv '%1.new' '%1'")
                               .arg(path);
    ASSERT_EQ(QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}), 0);
    EXPECT_TRUE(test::waitUntil([&] { return store.boolForKey(QStringLiteral("enableDebugMode")); }));
    // Read back as text, the unchanged key is not announced.
    EXPECT_EQ(announced, QStringList{"enableDebugMode"});

    // The watch survives the rename: a second edit, this time in place.
    ASSERT_EQ(QProcess::execute(QStringLiteral("/bin/sh"),
                                {QStringLiteral("-c"),
                                 QStringLiteral("printf '[General]\\nuseControlKey=false\\nenableDebugMode=true\\n' > '%1'")
                                     .arg(path)}),
              0);
    EXPECT_TRUE(test::waitUntil([&] { return !store.boolForKey(QStringLiteral("useControlKey")); }));
    EXPECT_TRUE(announced.contains(QStringLiteral("useControlKey")));
}

TEST(QSettingsStoreTest, OwnWritesSurviveAnExternalEditOfAnotherKey) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.conf"));
    QSettingsStore store(path);
    store.setBool(QStringLiteral("useShiftKey"), true);
    store.sync();
    QSettings other(path, QSettings::NativeFormat);
    other.setValue(QStringLiteral("enableDebugMode"), true);
    other.sync();
    EXPECT_TRUE(test::waitUntil([&] { return store.boolForKey(QStringLiteral("enableDebugMode")); }));
    EXPECT_TRUE(store.boolForKey(QStringLiteral("useShiftKey")));
}

// Paths that cannot be written even by root: a file where the folder should
// be, and a folder where the file should be.
TEST(QSettingsStoreTest, AnUnwritableFileKeepsTheValuesSaysSoOnceAndGetsThemWhenWritableAgain) {
    for (const bool folderInPlaceOfFile : {false, true}) {
        SCOPED_TRACE(folderInPlaceOfFile ? "folder in place of the file" : "file in place of the folder");
        QTemporaryDir dir;
        const QString blocker = dir.filePath(folderInPlaceOfFile ? QStringLiteral("Velmora.conf") : QStringLiteral("Velmora"));
        const QString path = folderInPlaceOfFile ? blocker : blocker + QStringLiteral("/Velmora.conf");
        if (folderInPlaceOfFile)
            ASSERT_TRUE(QDir().mkdir(blocker));
        else
            ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
        test::CapturedOutput output;
        QSettingsStore store(path);
        store.setBool(QStringLiteral("useShiftKey"), true);
        store.setString(QStringLiteral("AppLanguage"), QStringLiteral("uk"));
        store.sync();
        EXPECT_TRUE(store.boolForKey(QStringLiteral("useShiftKey")));
        EXPECT_EQ(store.stringForKey(QStringLiteral("AppLanguage")), QStringLiteral("uk"));
        EXPECT_FALSE(store.canWrite());
        const QStringList errors = output.linesStartingWith(QStringLiteral("❌"));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(path + QStringLiteral(": "))) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains(folderInPlaceOfFile ? QStringLiteral("a folder stands where the file should be")
                                                           : blocker + QStringLiteral(" is not a folder")))
            << errors[0].toStdString();

        ASSERT_TRUE(folderInPlaceOfFile ? QDir(blocker).removeRecursively() : QFile::remove(blocker));
        store.sync();
        EXPECT_TRUE(store.canWrite());
        store.setBool(QStringLiteral("enableDebugMode"), true);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        for (const char* line : {"useShiftKey=true", "AppLanguage=uk", "enableDebugMode=true"})
            EXPECT_TRUE(text.contains(line)) << line;
        EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌")).size(), 1);
    }
}

} // namespace
