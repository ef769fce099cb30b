#include "fakes/FakePlatform.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "support/WaitUntil.h"
#include "ui/AdvancedTab.h"
#include "ui/GeneralTab.h"
#include "ui/HostWindow.h"
#include "ui/OnboardingView.h"
#include "ui/PreferencesGeometry.h"
#include "ui/PreferencesView.h"
#include "ui/SettingCheckBox.h"
#include "ui/ShortcutLayoutPicker.h"
#include "ui/SystemTranslations.h"
#include "ui/WindowHelper.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class PreferencesViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        NotificationCenter::defaultCenter().addObserver(this,
                                                        Constants::menuBarIconSettingChangedNotification,
                                                        [this](const QVariant&) { ++iconNotifications; });
    }
    void TearDown() override {
        window.reset();
        NotificationCenter::defaultCenter().removeObserver(this);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        SettingsStore::setStandard(nullptr);
    }
    PreferencesView& make(PreferencesView::Actions actions = {}) {
        auto* view = new PreferencesView(std::move(actions));
        window.reset(WindowHelper::createWindow(QStringLiteral("Velmora"), view, nullptr, 600, 360));
        return *view;
    }
    SettingCheckBox* box(const QString& key) const { return window->findChild<SettingCheckBox*>(key); }

    FakePlatform fakes;
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::unique_ptr<HostWindow> window;
    int iconNotifications = 0;
};

TEST_F(PreferencesViewTest, SwitchesStoreClicksAndResetBringsBackWhatWasShown) {
    SettingsStore::setStandard(store = std::make_shared<InMemorySettingsStore>()); // without the language
    QList<bool> autoLaunchCalls;
    PreferencesView& view = make({[&](bool enabled) { autoLaunchCalls.append(enabled); }, {}});
    EXPECT_TRUE(store->allKeys().isEmpty()) << "showing the defaults writes nothing";
    const QList<SettingCheckBox*> all = window->findChildren<SettingCheckBox*>();
    QList<bool> defaults;
    for (SettingCheckBox* each : all) {
        defaults.append(each->isChecked());
        each->click();
        EXPECT_EQ(store->boolForKey(each->objectName()), !defaults.last())
            << each->objectName().toStdString();
    }
    EXPECT_EQ(autoLaunchCalls.size(), 1);

    // Reset keeps the debug switch, and leaves the icon to the next rebuild.
    const int notifications = iconNotifications;
    store->setBool(Constants::enableDebugMode, true);
    view.selectTab(PreferencesGeometry::advancedTab);
    view.advancedTab()->resetButton()->click();
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->isChecked(), defaults[i]) << all[i]->objectName().toStdString();
        EXPECT_EQ(store->boolForKey(all[i]->objectName()), defaults[i]) << all[i]->objectName().toStdString();
    }
    EXPECT_TRUE(store->boolForKey(Constants::enableDebugMode));
    EXPECT_EQ(iconNotifications, notifications);
}

// The alert comes once the switch is off; its second button brings the icon back.
TEST_F(PreferencesViewTest, HidingTheIconExplainsAfterTheClickAndCanBringItBack) {
    make();
    fakes.alerts->answerWith(AlertResponse::secondButton);
    box(Constants::showMenuBarIcon)->click();
    EXPECT_TRUE(fakes.alerts->shown().isEmpty()) << "the alert waits for the switch to finish";
    ASSERT_TRUE(test::waitUntil([&] { return !fakes.alerts->shown().isEmpty(); }));
    EXPECT_TRUE(store->boolForKey(Constants::showMenuBarIcon));
    EXPECT_TRUE(box(Constants::showMenuBarIcon)->isChecked());
    EXPECT_EQ(iconNotifications, 2);
}

TEST_F(PreferencesViewTest, LanguageAndShortcutLayoutPickers) {
    fakes.sources->setSources(
        {{QStringLiteral("ru"), QStringLiteral("Russian")}, {QStringLiteral("gb"), "UK"}});
    PreferencesView& view = make();
    window->show();
    QComboBox* language = view.generalTab()->languagePicker();
    Q_EMIT language->activated(language->findData(QStringLiteral("de")));
    EXPECT_EQ(store->stringForKey(Constants::appLanguage), QStringLiteral("de"));
    EXPECT_EQ(box(Constants::useShiftKey)->text(), QStringLiteral("Umschalt"));

    QComboBox* layout = view.generalTab()->shortcutLayoutPicker()->comboBox();
    ASSERT_EQ(layout->count(), 3);
    // Layout names in the interface language, from xkeyboard-config's own
    // catalogue; a name it does not know stays as the desktop gave it.
    for (const auto& [code, russian] :
         {std::pair{"ru", "Русская"}, std::pair{"ja", "ロシア語"}, std::pair{"en", "Russian"}}) {
        Q_EMIT language->activated(language->findData(QString::fromUtf8(code)));
        EXPECT_EQ(layout->itemText(1), QString::fromUtf8(russian)) << code;
        EXPECT_EQ(layout->itemText(2), QStringLiteral("UK")) << code;
    }
    Q_EMIT layout->activated(2);
    EXPECT_EQ(store->stringForKey(Constants::shortcutLayout), QStringLiteral("gb"));
    // UK removed from the keymap: still stored, but English applies and shows.
    fakes.sources->setSources({{QStringLiteral("de"), QStringLiteral("German")}});
    ASSERT_TRUE(test::waitUntil([&] { return layout->count() == 2; }));
    EXPECT_EQ(layout->currentIndex(), 0);
    EXPECT_EQ(store->stringForKey(Constants::shortcutLayout), QStringLiteral("gb"));
    Q_EMIT layout->activated(0);
    EXPECT_FALSE(store->hasObject(Constants::shortcutLayout));
}

// Its tr() texts follow the desktop's first language, whatever the interface language.
TEST_F(PreferencesViewTest, AdvancedTabSpeaksTheSystemLanguage) {
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("de"));
    const struct {
        QStringList system;
        const char *table, *checkNow, *version;
    } rows[] = {
        {{"ru-RU", "en-US"}, "ru", "Проверить сейчас", "Текущая версия: 2.0"},
        {{"ja-JP"}, "ja", "今すぐ確認", "現在のバージョン：2.0"},
        {{"en-GB", "ru-RU"}, "", "Check Now", "Current version: 2.0"},
        {{"it-IT", "ja-JP"}, "", "Check Now", "Current version: 2.0"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SystemTranslations::install(row.system), QString::fromUtf8(row.table));
        const AdvancedTab tab({}, QStringLiteral("2.0"));
        EXPECT_EQ(tab.checkNowButton()->text(), QString::fromUtf8(row.checkNow))
            << row.system.first().toStdString();
        EXPECT_EQ(tab.versionLabel()->text(), QString::fromUtf8(row.version));
    }
}

// A catalogue that cannot be read names nothing: the names stay as given.
TEST(LayoutNameCatalog, DamagedOrMissingFilesTranslateNothing) {
    QFile real(LayoutNameCatalog::pathFor(QStringLiteral("ru")));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly)) << "xkb-data's catalogue for Russian";
    const QByteArray data = real.readAll();
    QTemporaryDir folder;
    const struct {
        const char* name;
        QByteArray content;
    } rows[] = {{"header only", data.left(28)},
                {"cut short", data.left(data.size() / 2)},
                {"not a catalogue", QByteArray("msgid \"Russian\"\nmsgstr \"Русская\"\n")},
                {"empty", {}}};
    for (const auto& row : rows) {
        const QString path = folder.filePath(QString::fromUtf8(row.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(row.content) == row.content.size());
        file.close();
        const LayoutNameCatalog catalog(path);
        EXPECT_TRUE(catalog.isEmpty()) << row.name;
        EXPECT_EQ(catalog.translate(QStringLiteral("Russian")), QStringLiteral("Russian")) << row.name;
    }
    EXPECT_TRUE(LayoutNameCatalog(folder.filePath(QStringLiteral("missing"))).isEmpty());
    EXPECT_FALSE(LayoutNameCatalog(real.fileName()).isEmpty());
    EXPECT_TRUE(LayoutNameCatalog::pathFor(QStringLiteral("en")).isEmpty());
    EXPECT_TRUE(LayoutNameCatalog::pathFor(QStringLiteral("ja"), folder.path()).isEmpty());
}

TEST(OnboardingView, WaysOut) {
    const struct {
        const char* name;
        bool trusted, skip;
        int answer;
        QStringList calls;
        int urlsAtClose, alerts;
    } cases[] = {
        {"Skip", false, true, 0, {"close"}, 0, 0},
        {"GetStartedTrusted", true, false, 0, {"monitor", "close"}, 0, 0},
        {"GetStartedUntrustedLater", false, false, AlertResponse::secondButton, {"close"}, 0, 1},
        {"GetStartedUntrustedHelp", false, false, AlertResponse::firstButton, {"close"}, 1, 1},
    };
    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    for (const auto& row : cases) {
        FakePlatform fakes;
        fakes.trust->setTrusted(row.trusted);
        fakes.alerts->answerWith(row.answer);
        QStringList calls;
        qsizetype urlsAtClose = -1;
        OnboardingView view({[&] { calls.append("monitor"); },
                             [&] { calls.append("close"), urlsAtClose = fakes.machine->openedUrls.size(); }});
        view.show();
        view.primaryButton()->click();
        EXPECT_EQ(view.currentPage(), 1) << row.name;
        EXPECT_TRUE(calls.isEmpty()) << "moving on never gets started by itself";
        (row.skip ? view.skipButton() : view.primaryButton())->click();
        EXPECT_EQ(calls, row.calls) << row.name;
        EXPECT_EQ(urlsAtClose, row.urlsAtClose) << row.name << ": the help opens before the window closes";
        EXPECT_EQ(fakes.alerts->shown().size(), row.alerts) << row.name;
    }
    SettingsStore::setStandard(nullptr);
}

} // namespace
