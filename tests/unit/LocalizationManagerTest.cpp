#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"

#include <QTranslator>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;

namespace {

// The text a compiled table gives a key, read without the manager.
QString tableText(const QString& code, const QString& key) {
    QTranslator table;
    if (!table.load(LocalizationManager::tablePath(QStringLiteral(":/i18n"), code)))
        return QStringLiteral("<no table %1>").arg(code);
    return table.translate(nullptr, key.toUtf8().constData());
}

class LocalizationManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        center.addObserver(this, Constants::languageDidChangeNotification, [this](const QVariant&) { ++posts; });
    }

    std::unique_ptr<LocalizationManager> makeManager(const QString& tableDirectory = QStringLiteral(":/i18n")) {
        LocalizationManager::Dependencies dependencies{[this] { return preferred; },
                                                       [this]() -> SettingsStore& { return *store; }, &center,
                                                       tableDirectory};
        return std::make_unique<LocalizationManager>(std::move(dependencies));
    }

    QString stored() const { return store->stringForKey(Constants::appLanguage).value_or(QStringLiteral("<absent>")); }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    NotificationCenter center;
    QStringList preferred;
    int posts = 0;
};

struct FirstStart {
    QStringList preferred;
    QString language;
};

TEST_F(LocalizationManagerTest, firstStartDetectsTheLanguageFromTheFirstPreferredOneOnly) {
    const QList<FirstStart> cases = {
        {{"de-DE", "en-US"}, "de"},
        {{"zh-Hans-CN"}, "zh-Hans"},
        {{"zh-Hant-TW"}, "en"},
        {{"zh-CN"}, "zh-Hans"},
        {{"it-IT", "ru-RU"}, "en"},
        {{}, "en"},
        {{"en-US", "de-DE"}, "en"},
        {{"ru-RU"}, "ru"},
        {{"uk-UA"}, "uk"},
        {{"es-419"}, "es"},
        {{"pt-BR"}, "pt"},
        {{"fr-CA"}, "fr"},
        {{"ja-JP"}, "ja"},
        {{"de_DE"}, "de"},
        {{"ru"}, "ru"},
        // Chinese needs "Hans" or "CN" in the entry itself.
        {{"zh-Hans"}, "zh-Hans"},
        {{"zh"}, "en"},
        {{"zh-TW"}, "en"},
        {{"zh-Hant-HK"}, "en"},
        {{"zh-SG"}, "en"},
        // Shorter than two characters, or not a language at all.
        {{"r"}, "en"},
        {{""}, "en"},
        {{"C"}, "en"},
    };
    for (const FirstStart& start : cases) {
        SCOPED_TRACE(start.preferred.join(u',').toStdString());
        store = std::make_shared<InMemorySettingsStore>();
        preferred = start.preferred;
        const auto manager = makeManager();
        EXPECT_EQ(manager->currentLanguage(), start.language);
        EXPECT_EQ(stored(), start.language);
        EXPECT_EQ(manager->bundleLanguage(), start.language);
    }
    EXPECT_EQ(posts, 0) << "creation is not a change";
}

TEST_F(LocalizationManagerTest, firstStartInGermanAnswersFromTheGermanTable) {
    preferred = {"de-DE", "en-US"};
    const auto manager = makeManager();
    for (const QString& key : {LocalizationKeys::menuQuit, LocalizationKeys::prefsGeneral}) {
        EXPECT_EQ(manager->localizedString(key), tableText("de", key));
        EXPECT_NE(manager->localizedString(key), tableText("en", key));
    }
}

TEST_F(LocalizationManagerTest, aStoredCodeWinsOverThePreferredLanguages) {
    store->setString(Constants::appLanguage, "ru");
    preferred = {"de-DE"};
    const auto manager = makeManager();
    EXPECT_EQ(manager->currentLanguage(), "ru");
    EXPECT_EQ(manager->bundleLanguage(), "ru");
    EXPECT_EQ(stored(), "ru");
}

TEST_F(LocalizationManagerTest, storedSystemFollowsThePreferredLanguagesAtEachAssignment) {
    store->setString(Constants::appLanguage, "system");
    preferred = {"ja-JP", "en-US"};
    const auto manager = makeManager();
    EXPECT_EQ(manager->currentLanguage(), "system");
    EXPECT_EQ(manager->bundleLanguage(), "ja");
    EXPECT_EQ(stored(), "system") << "creation keeps the stored choice";

    // The desktop's language changes; the manager notices at the next assignment.
    preferred = {"fr-FR"};
    EXPECT_EQ(manager->bundleLanguage(), "ja");
    manager->setCurrentLanguage("system");
    EXPECT_EQ(manager->currentLanguage(), "system");
    EXPECT_EQ(manager->bundleLanguage(), "fr");
    EXPECT_EQ(manager->localizedString(LocalizationKeys::menuQuit), tableText("fr", LocalizationKeys::menuQuit));
    EXPECT_EQ(stored(), "system");
    EXPECT_EQ(posts, 1);
}

TEST_F(LocalizationManagerTest, aCodeWithoutTableIsKeptAndAnsweredInEnglish) {
    preferred = {"de-DE"};
    for (const QString code : {"xx", "", "EN", "de-DE", "zh-Hant", "zh-hans"}) {
        SCOPED_TRACE(code.toStdString());
        store->setString(Constants::appLanguage, code);
        const auto manager = makeManager();
        EXPECT_EQ(manager->currentLanguage(), code);
        EXPECT_EQ(stored(), code);
        EXPECT_EQ(manager->bundleLanguage(), "en");
        EXPECT_EQ(manager->localizedString(LocalizationKeys::menuQuit), tableText("en", LocalizationKeys::menuQuit));
    }
}

TEST_F(LocalizationManagerTest, aKeyMissingFromTheChosenTableShowsTheKeyNotTheEnglishText) {
    // The French test table has "greeting" but lacks "farewell", which the
    // English one has.
    store->setString(Constants::appLanguage, "fr");
    const auto manager = makeManager(QStringLiteral(":/test-i18n"));
    ASSERT_EQ(manager->bundleLanguage(), "fr");
    EXPECT_EQ(manager->localizedString("greeting"), "Bonjour %1");
    EXPECT_EQ(manager->localizedString("farewell"), "farewell");

    const auto real = makeManager();
    EXPECT_EQ(real->localizedString("no_such_key"), "no_such_key");
    EXPECT_EQ(real->localizedString(""), "");
}

TEST_F(LocalizationManagerTest, withoutAnyTableEveryLookupShowsTheKey) {
    store->setString(Constants::appLanguage, "de");
    const auto manager = makeManager(QStringLiteral(":/no-tables-here"));
    EXPECT_EQ(manager->bundleLanguage(), "");
    EXPECT_EQ(manager->localizedString(LocalizationKeys::menuQuit), LocalizationKeys::menuQuit);
    manager->setCurrentLanguage("en");
    EXPECT_EQ(manager->localizedString(LocalizationKeys::menuQuit), LocalizationKeys::menuQuit);
}

TEST_F(LocalizationManagerTest, everyAssignmentStoresReloadsAndPostsExactlyOnce) {
    preferred = {"en-US"};
    const auto manager = makeManager();

    manager->setCurrentLanguage("uk");
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(stored(), "uk");
    EXPECT_EQ(manager->bundleLanguage(), "uk");

    // The same value again is not compared away: it is written, reloaded and
    // announced once more.
    store->removeObject(Constants::appLanguage);
    manager->setCurrentLanguage("uk");
    EXPECT_EQ(posts, 2);
    EXPECT_EQ(stored(), "uk");

    // The property system (what a picker binding uses) runs the same steps.
    EXPECT_TRUE(manager->setProperty("currentLanguage", QStringLiteral("es")));
    EXPECT_EQ(manager->property("currentLanguage").toString(), "es");
    EXPECT_EQ(posts, 3);
    EXPECT_EQ(stored(), "es");
}

TEST_F(LocalizationManagerTest, subscribersAlreadySeeTheNewLanguage) {
    preferred = {"en-US"};
    const auto manager = makeManager();
    const QString& key = LocalizationKeys::menuPreferences;
    QString seenByNotification;
    center.addObserver(&seenByNotification, Constants::languageDidChangeNotification,
                       [&](const QVariant&) { seenByNotification = manager->localizedString(key); });

    manager->setCurrentLanguage("ja");
    EXPECT_EQ(seenByNotification, tableText("ja", key));
}

TEST(LocalizationManagerShared, isOneInstanceReadingTheEmbeddedTables) {
    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    LocalizationManager& shared = LocalizationManager::shared();
    EXPECT_EQ(&shared, &LocalizationManager::shared());
    int posts = 0;
    NotificationCenter::defaultCenter().addObserver(&posts, Constants::languageDidChangeNotification,
                                                    [&](const QVariant&) { ++posts; });
    shared.setCurrentLanguage("pt");
    NotificationCenter::defaultCenter().removeObserver(&posts);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(SettingsStore::standard().stringForKey(Constants::appLanguage), "pt");
    EXPECT_EQ(shared.localizedString(LocalizationKeys::menuQuit), tableText("pt", LocalizationKeys::menuQuit));
}

} // namespace
