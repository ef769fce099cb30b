#include "localization/LocalizationManager.h"
#include "localization/LocalizationKeys.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"

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

// A first start takes the first preferred language and stores it; a stored code wins and is kept as it is.
// Chinese needs "Hans" or "CN" in the entry itself: only Simplified Chinese has a table.
const struct LanguageCase {
    QStringList preferred;
    const char *stored, *language,
        *bundle; // stored before the start (null: a first start); bundle: whose table
} languageCases[] = {
    {{"de-DE", "en-US"}, nullptr, "de", "de"},       {{"it-IT", "ru-RU"}, nullptr, "en", "en"},
    {{"zh-Hans-CN"}, nullptr, "zh-Hans", "zh-Hans"}, {{"zh-CN"}, nullptr, "zh-Hans", "zh-Hans"},
    {{"zh-Hant-TW"}, nullptr, "en", "en"},           {{"de-DE"}, "ru", "ru", "ru"},
    {{"ja-JP"}, "system", "system", "ja"},           {{"de-DE"}, "xx", "xx", "en"}};

TEST_F(LocalizationManagerTest, TheLanguageComesFromTheStoreOrTheFirstPreferredOneAndFallsBackToEnglish) {
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

TEST_F(LocalizationManagerTest, AKeyTheTableLacksReadsAsTheKeyNeverAsTheEnglishText) {
    store.setString(Constants::appLanguage, "fr"); // the French test table lacks "farewell"
    EXPECT_EQ(start(":/test-i18n")->localizedString("greeting"), "Bonjour %1");
    EXPECT_EQ(start(":/test-i18n")->localizedString("farewell"), "farewell");
    EXPECT_EQ(start(":/no-tables-here")->localizedString(LocalizationKeys::menuQuit),
              LocalizationKeys::menuQuit);
}

} // namespace
