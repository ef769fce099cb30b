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
    const char *stored, *language, *bundle; // stored before the start (null: first start); bundle: its table
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

// Phrases once true, per table: Wayland unsupported, X11 required, restart needed, the system as a source.
const struct StalePhrases {
    const char* code;
    QStringList phrases;
} stalePhrases[] = {
    {"en",
     {"not supported yet", "X11 only", "Needs an X11 session", "requires an X11 session",
      "start Velmora again", "given by the system", "Update Failed"}},
    {"fr",
     {"pas encore pris en charge", "Nécessite une session X11", "relancez ensuite Velmora",
      "indiquée par le système"}},
    {"de",
     {"noch nicht unterstützt", "Erfordert eine X11-Sitzung", "ist eine X11-Sitzung nötig", "danach neu",
      "Vom System genannter"}},
    {"pt",
     {"ainda não é suportado", "Requer uma sessão X11", "requer uma sessão X11", "abra o Velmora novamente",
      "informado pelo sistema"}},
    {"ru",
     {"пока не поддерживается", "Нужен сеанс X11", "требуется сеанс X11", "запустите Velmora снова",
      "названная системой"}},
    {"es",
     {"aún no es compatible", "Requiere una sesión X11", "requiere una sesión X11", "vuelve a iniciar",
      "indicado por el sistema"}},
    {"uk",
     {"поки не підтримується", "Потрібен сеанс X11", "потрібен сеанс X11", "запустіть Velmora знову",
      "яку назвала система"}},
    {"ja", {"未対応", "X11 セッションが必要", "を再起動してください", "システムが示した理由"}},
    {"zh-Hans", {"暂不支持", "需要 X11 会话", "重新启动 Velmora", "系统给出的原因"}},
};

TEST(StringTables, NoTableRepeatsWhatIsNoLongerTrueAndReasonsAreWholeSentences) {
    for (const StalePhrases& table : stalePhrases) {
        for (const LocalizationKeys::Entry& entry : LocalizationKeys::all()) {
            const QString text = tableText(table.code, entry.key);
            ASSERT_FALSE(text.isEmpty()) << table.code << " " << entry.key.toStdString();
            for (const QString& phrase : table.phrases)
                EXPECT_FALSE(text.contains(phrase, Qt::CaseInsensitive))
                    << table.code << " " << entry.key.toStdString() << ": " << text.toStdString();
            // The alert shows a reason as a paragraph of its own.
            if (entry.key.startsWith(QLatin1String("keyboard_reason_"))) {
                EXPECT_TRUE(text.endsWith(u'.') || text.endsWith(u'。'))
                    << table.code << " " << entry.key.toStdString() << ": " << text.toStdString();
            }
        }
    }
}

} // namespace
