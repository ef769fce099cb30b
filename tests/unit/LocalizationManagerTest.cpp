#include "localization/LocalizationManager.h"
#include "localization/LocalizationKeys.h"
#include "localization/SupportedLanguage.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"

#include <QSet>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// The text a compiled table gives a key, read without the manager; empty when it has none.
QString tableText(const QString& code, const QString& key, const QString& folder = QStringLiteral(":/i18n")) {
    QTranslator table;
    return table.load(LocalizationManager::tablePath(folder, code)) ? table.translate(nullptr, key.toUtf8())
                                                                    : "";
}

class LocalizationManagerTest : public ::testing::Test {
protected:
    std::unique_ptr<LocalizationManager> start(const QString& tables = QStringLiteral(":/i18n")) {
        return std::make_unique<LocalizationManager>(LocalizationManager::Dependencies{
            [this] { return preferred; }, [this]() -> SettingsStore& { return store; }, &center, tables});
    }
    InMemorySettingsStore store;
    NotificationCenter center;
    QStringList preferred;
};

struct LanguageCase {
    QStringList preferred;
    const char* stored; // before the start; null: a first start
    const char* language;
    const char* bundle; // whose table answers
};

// A first start takes the first preferred language and stores it; a stored code wins and is kept as it is.
const LanguageCase languageCases[] = {
    {{"de-DE", "en-US"}, nullptr, "de", "de"},
    {{"ru"}, nullptr, "ru", "ru"},
    {{"it-IT", "ru-RU"}, nullptr, "en", "en"},
    {{}, nullptr, "en", "en"},
    {{"C"}, nullptr, "en", "en"},
    // Chinese needs "Hans" or "CN" in the entry itself: only Simplified Chinese has a table.
    {{"zh-Hans-CN"}, nullptr, "zh-Hans", "zh-Hans"},
    {{"zh-CN"}, nullptr, "zh-Hans", "zh-Hans"},
    {{"zh-Hant-TW"}, nullptr, "en", "en"},
    {{"zh"}, nullptr, "en", "en"},
    {{"de-DE"}, "ru", "ru", "ru"},
    {{"ja-JP"}, "system", "system", "ja"},
    {{"de-DE"}, "xx", "xx", "en"},
    {{"de-DE"}, "EN", "EN", "en"}};

TEST_F(LocalizationManagerTest, theLanguageComesFromTheStoreOrTheFirstPreferredOneAndFallsBackToEnglish) {
    center.addObserver(this, Constants::languageDidChangeNotification,
                       [](const QVariant&) { FAIL() << "no change"; });
    for (const LanguageCase& row : languageCases) {
        SCOPED_TRACE(row.preferred.join(u',').toStdString() + " stored " +
                     (row.stored ? row.stored : "nothing"));
        preferred = row.preferred;
        row.stored ? store.setString(Constants::appLanguage, row.stored)
                   : store.removeObject(Constants::appLanguage);
        const auto manager = start();
        EXPECT_EQ(manager->currentLanguage(), row.language);
        EXPECT_EQ(store.stringForKey(Constants::appLanguage), row.language);
        EXPECT_EQ(manager->bundleLanguage(), row.bundle);
        EXPECT_EQ(manager->localizedString(LocalizationKeys::menuQuit),
                  tableText(row.bundle, LocalizationKeys::menuQuit));
    }
}

TEST_F(LocalizationManagerTest, aKeyTheTableLacksReadsAsTheKeyNeverAsTheEnglishText) {
    store.setString(Constants::appLanguage, "fr"); // the French test table lacks "farewell"
    EXPECT_EQ(start(":/test-i18n")->localizedString("greeting"), "Bonjour %1");
    EXPECT_EQ(start(":/test-i18n")->localizedString("farewell"), "farewell");
    EXPECT_EQ(start()->localizedString("no_such_key"), "no_such_key");
    EXPECT_EQ(start(":/no-tables-here")->bundleLanguage(), "");
    EXPECT_EQ(start(":/no-tables-here")->localizedString(LocalizationKeys::menuQuit),
              LocalizationKeys::menuQuit);
}

// Observers hear of each assignment, even of the same value, once the new texts are in place; "system"
// follows the desktop's language at each assignment.
TEST_F(LocalizationManagerTest, eachAssignmentStoresReloadsAndThenPostsOnce) {
    preferred = {"ja-JP"};
    const auto manager = start();
    QStringList seen;
    center.addObserver(this, Constants::languageDidChangeNotification, [&](const QVariant&) {
        seen.append(manager->localizedString(LocalizationKeys::menuQuit));
    });
    for (const char* language : {"uk", "uk", "system"}) {
        store.removeObject(Constants::appLanguage);
        preferred = {"fr-FR"};
        EXPECT_TRUE(manager->setProperty("currentLanguage", QString::fromLatin1(language)));
        EXPECT_EQ(store.stringForKey(Constants::appLanguage), language);
    }
    const QString uk = tableText("uk", LocalizationKeys::menuQuit);
    EXPECT_EQ(seen, QStringList({uk, uk, tableText("fr", LocalizationKeys::menuQuit)}));
}

TEST(SupportedLanguage, onlyItsExactRawValueNamesALanguage) {
    for (const SupportedLanguage& language : SupportedLanguage::allCases())
        EXPECT_EQ(SupportedLanguage::fromRawValue(language.rawValue()), language);
    for (const QString rawValue : {"EN", "zh-hans", "zh", " en", "System", "de-DE"})
        EXPECT_EQ(SupportedLanguage::fromRawValue(rawValue), std::nullopt) << rawValue.toStdString();
}

// What is wrong with one table: a key without text (lrelease drops empty texts, so missing and blank look the
// same), or placeholders other than the English ones, which number the key's arguments from %1.
QStringList tableProblems(const QString& folder, const QString& code,
                          const QList<LocalizationKeys::Entry>& keys) {
    const auto placeholders = [](const QString& text) {
        QList<qsizetype> counts;
        for (int n = 1; n <= 9; ++n)
            counts.append(text.count(QStringLiteral("%%1").arg(n)));
        return counts;
    };
    QStringList problems;
    for (const LocalizationKeys::Entry& entry : keys) {
        QString english; // what the key's arguments ask for, or else what the English table has
        for (int n = 1; n <= entry.argumentCount; ++n)
            english += QStringLiteral("%%1").arg(n);
        const QString text = tableText(code, entry.key, folder);
        if (text.trimmed().isEmpty())
            problems.append(entry.key + ": no text");
        else if (placeholders(text) !=
                 placeholders(code == "en" ? english : tableText("en", entry.key, folder)))
            problems.append(entry.key + ": placeholders differ");
    }
    return problems;
}

TEST(StringTables, everyLanguageHasItsOwnNameAndEveryKeyWithTheEnglishPlaceholdersAndTheCheckSeesFaults) {
    QSet<QString> names;
    for (const SupportedLanguage& language : SupportedLanguage::allCases().mid(1)) {
        EXPECT_EQ(tableProblems(":/i18n", language.rawValue(), LocalizationKeys::all()), QStringList());
        names.insert(language.displayName());
        EXPECT_EQ(tableText(language.rawValue(), LocalizationKeys::appName), "Velmora")
            << "windows are found by it";
    }
    EXPECT_EQ(names.size(), SupportedLanguage::allCases().size() - 1) << "the picker shows each once";
    const QList<LocalizationKeys::Entry> keys = {{"greeting", 0, {}}, {"farewell", 1, {}}};
    EXPECT_EQ(tableProblems(":/test-i18n", "en", keys), QStringList());
    EXPECT_EQ(tableProblems(":/test-i18n", "fr", keys),
              QStringList({"greeting: placeholders differ", "farewell: no text"}));
    EXPECT_EQ(tableProblems(":/test-i18n", "de", keys),
              QStringList({"greeting: no text", "farewell: placeholders differ"}));
    EXPECT_EQ(tableProblems(":/test-i18n", "en", {{"farewell", 2, {}}}),
              QStringList{"farewell: placeholders differ"});
}

} // namespace
