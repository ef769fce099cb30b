#include "ui/PreferencesView.h"
#include "ui/HostWindow.h"
#include "ui/WindowHelper.h"
#include "switching/SystemUtils.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"
#include "platform/Platform.h"
#include "fakes/FakeLoginItemService.h"
#include "fakes/FakeTextInputSources.h"
#include "ui/ShortcutLayoutPicker.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "ui/AdvancedTab.h"
#include "base/ApplicationIdentity.h"
#include "settings/Constants.h"
#include "ui/GeneralTab.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/QSettingsStore.h"
#include "settings/NotificationCenter.h"
#include "ui/PreferencesGeometry.h"
#include "ui/SettingCheckBox.h"
#include "ui/SymbolLabel.h"
#include "ui/TabButton.h"
#include "ui/ViewStyle.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QVariantAnimation>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;

namespace {

QString localized(const QString& key) { return LocalizationManager::shared().localizedString(key); }

struct Binding {
    QString key;
    bool defaultValue;
};

// The nine switches and the value each shows while its key is absent.
const QList<Binding> bindings = {
    {Constants::useCommandKey, true},     {Constants::useControlKey, true},
    {Constants::useOptionKey, true},      {Constants::useShiftKey, false},
    {Constants::switchToEnglish, true},   {Constants::restorePreviousLayout, true},
    {Constants::launchAtLogin, true},     {Constants::showMenuBarIcon, true},
    {Constants::enableAutoUpdates, true},
};

class PreferencesViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        store->removeObject(Constants::appLanguage);
        Platform platform;
        platform.alerts = alerts;
        platform.loginItems = loginItems;
        Platform::install(platform);
        NotificationCenter::defaultCenter().addObserver(this,
                                                        Constants::menuBarIconSettingChangedNotification,
                                                        [this](const QVariant&) { ++iconNotifications; });
    }
    void TearDown() override {
        window.reset();
        NotificationCenter::defaultCenter().removeObserver(this);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        Platform::install({});
        SettingsStore::setStandard(nullptr);
    }

    PreferencesView& make(const QString& title = QStringLiteral("Velmora")) {
        auto* view = new PreferencesView(
            {[this](bool enabled) { autoLaunchCalls.append(enabled); }, [this] { ++updateChecks; }});
        window.reset(WindowHelper::createWindow(title, view, nullptr, 600, 360));
        return *view;
    }
    PreferencesView& view() const { return *static_cast<PreferencesView*>(window->contentView()); }
    SettingCheckBox* checkBox(const QString& key) const {
        auto* found = window->findChild<SettingCheckBox*>(key);
        EXPECT_NE(found, nullptr) << key.toStdString();
        return found;
    }
    bool idle() const {
        const auto animations = window->findChildren<QAbstractAnimation*>();
        return std::none_of(animations.begin(), animations.end(), [](const QAbstractAnimation* animation) {
            return animation->state() == QAbstractAnimation::Running;
        });
    }
    // Shows the window and waits until the heights have followed the content.
    void showAndSettle() {
        window->show();
        settleHeights();
    }
    void settleHeights() {
        test::settle(PreferencesGeometry::windowResizeDelayMs + 50);
        ASSERT_TRUE(test::waitUntil([&] { return idle(); }));
    }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    std::shared_ptr<FakeLoginItemService> loginItems = std::make_shared<FakeLoginItemService>();
    std::unique_ptr<HostWindow> window;
    QList<bool> autoLaunchCalls;
    int updateChecks = 0;
    int iconNotifications = 0;
};

// Bindings.

TEST_F(PreferencesViewTest, SwitchesShowTheirDefaultsWhileTheKeysAreAbsentAndWriteNothing) {
    make();
    for (const Binding& binding : bindings) {
        SCOPED_TRACE(binding.key.toStdString());
        EXPECT_EQ(checkBox(binding.key)->isChecked(), binding.defaultValue);
    }
    EXPECT_TRUE(store->allKeys().isEmpty());
}

TEST_F(PreferencesViewTest, EverySwitchStoresItsValueTheMomentItIsClicked) {
    make();
    view().selectTab(PreferencesGeometry::advancedTab); // the update switch is on the Advanced tab
    view().selectTab(PreferencesGeometry::generalTab);
    for (const Binding& binding : bindings) {
        SCOPED_TRACE(binding.key.toStdString());
        SettingCheckBox* box = checkBox(binding.key);
        box->click();
        ASSERT_TRUE(store->hasObject(binding.key));
        EXPECT_EQ(store->boolForKey(binding.key), !binding.defaultValue);
        box->click();
        EXPECT_EQ(store->boolForKey(binding.key), binding.defaultValue);
    }
}

TEST_F(PreferencesViewTest, SwitchesFollowChangesMadeElsewhereWhileTheWindowStaysOpen) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.conf"));
    auto fileStore = std::make_shared<QSettingsStore>(path);
    SettingsStore::setStandard(fileStore);
    for (const Binding& binding : bindings)
        fileStore->setBool(binding.key, !binding.defaultValue);
    make();
    window->show();
    window->activateWindow();
    for (const Binding& binding : bindings)
        EXPECT_EQ(checkBox(binding.key)->isChecked(), !binding.defaultValue) << binding.key.toStdString();

    // Another process rewrites the file, as "velmora defaults write" does.
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\n");
    for (const Binding& binding : bindings)
        file.write(QStringLiteral("%1=%2\n").arg(binding.key, QLatin1String(binding.defaultValue ? "true" : "false")).toUtf8());
    ASSERT_TRUE(file.commit());
    EXPECT_TRUE(test::waitUntil([&] {
        return std::all_of(bindings.begin(), bindings.end(),
                           [&](const Binding& binding) { return checkBox(binding.key)->isChecked() == binding.defaultValue; });
    }));
    EXPECT_TRUE(autoLaunchCalls.isEmpty()) << "a redraw is not a change by the user";
    EXPECT_EQ(iconNotifications, 0);
    SettingsStore::setStandard(store);
}

TEST_F(PreferencesViewTest, ResetWritesTheResetValuesRedrawsAndAnnouncesNothing) {
    for (const Binding& binding : bindings)
        store->setBool(binding.key, !binding.defaultValue);
    store->setBool(Constants::enableDebugMode, true);
    make();
    view().selectTab(PreferencesGeometry::advancedTab);
    view().advancedTab()->resetButton()->click();

    for (const Binding& binding : bindings) {
        SCOPED_TRACE(binding.key.toStdString());
        EXPECT_EQ(store->boolForKey(binding.key), binding.defaultValue);
        EXPECT_EQ(checkBox(binding.key)->isChecked(), binding.defaultValue);
    }
    EXPECT_TRUE(store->boolForKey(Constants::enableDebugMode)) << "reset keeps the debug switch";
    EXPECT_EQ(iconNotifications, 0) << "the icon returns only at the next rebuild";
    EXPECT_TRUE(autoLaunchCalls.isEmpty());
    test::settle(PreferencesGeometry::windowResizeDelayMs + 50);
    EXPECT_TRUE(alerts->shown().isEmpty());
}

// Side effects of three switches and two buttons.

TEST_F(PreferencesViewTest, StartAtLoginHandsEveryNewValueToTheLoginItem) {
    make();
    checkBox(Constants::launchAtLogin)->click();
    checkBox(Constants::launchAtLogin)->click();
    EXPECT_EQ(autoLaunchCalls, (QList<bool>{false, true}));
}

TEST_F(PreferencesViewTest, StartAtLoginKeepsTheUsersChoiceWhenRegistrationFails) {
    auto* view = new PreferencesView({[](bool enabled) { SystemUtils::setAutoLaunch(enabled); }, {}});
    window.reset(WindowHelper::createWindow(QStringLiteral("Velmora"), view, nullptr, 600, 360));
    loginItems->failNextCalls(Error{QStringLiteral("Test"), 1, QStringLiteral("refused")});
    test::CapturedOutput output;
    checkBox(Constants::launchAtLogin)->click();
    EXPECT_EQ(loginItems->unregisterCalls(), 1);
    EXPECT_FALSE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_FALSE(checkBox(Constants::launchAtLogin)->isChecked());
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Auto launch error: ")).size(), 1);
}

TEST_F(PreferencesViewTest, WithoutTheApplicationStartAtLoginOnlyStoresItsValue) {
    auto* view = new PreferencesView;
    window.reset(WindowHelper::createWindow(QStringLiteral("Velmora"), view, nullptr, 600, 360));
    checkBox(Constants::launchAtLogin)->click();
    EXPECT_FALSE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_EQ(loginItems->unregisterCalls(), 0);
}

TEST_F(PreferencesViewTest, HidingTheIconAnnouncesItAtOnceAndExplainsAMomentLater) {
    make();
    alerts->answerWith(AlertResponse::firstButton);
    checkBox(Constants::showMenuBarIcon)->click();
    EXPECT_EQ(iconNotifications, 1);
    EXPECT_FALSE(store->boolForKey(Constants::showMenuBarIcon));
    EXPECT_TRUE(alerts->shown().isEmpty()) << "the alert waits for the switch to finish";

    ASSERT_TRUE(test::waitUntil([&] { return !alerts->shown().isEmpty(); }));
    const Alert& alert = alerts->shown().first();
    EXPECT_EQ(alert.messageText, localized(LocalizationKeys::menuBarHiddenTitle));
    EXPECT_EQ(alert.informativeText, localized(LocalizationKeys::menuBarHiddenMessage));
    EXPECT_EQ(alert.buttons, (QStringList{localized(LocalizationKeys::menuBarHiddenOk),
                                          localized(LocalizationKeys::menuBarHiddenShowAgain)}));
    EXPECT_NE(alert.messageText, LocalizationKeys::menuBarHiddenTitle) << "looked up, not the key";

    // "OK" leaves the icon hidden.
    EXPECT_FALSE(store->boolForKey(Constants::showMenuBarIcon));
    EXPECT_FALSE(checkBox(Constants::showMenuBarIcon)->isChecked());
    EXPECT_EQ(iconNotifications, 1);
}

TEST_F(PreferencesViewTest, TheAlertsSecondButtonBringsTheIconBack) {
    make();
    alerts->answerWith(AlertResponse::secondButton);
    checkBox(Constants::showMenuBarIcon)->click();
    ASSERT_TRUE(test::waitUntil([&] { return !alerts->shown().isEmpty(); }));
    EXPECT_TRUE(store->boolForKey(Constants::showMenuBarIcon));
    EXPECT_TRUE(checkBox(Constants::showMenuBarIcon)->isChecked());
    EXPECT_EQ(iconNotifications, 2);
    test::settle(PreferencesGeometry::windowResizeDelayMs + 50);
    EXPECT_EQ(alerts->shown().size(), 1) << "showing the icon again asks nothing";
}

TEST_F(PreferencesViewTest, ShowingTheIconAnnouncesItWithoutAnAlert) {
    store->setBool(Constants::showMenuBarIcon, false);
    make();
    checkBox(Constants::showMenuBarIcon)->click();
    EXPECT_TRUE(store->boolForKey(Constants::showMenuBarIcon));
    EXPECT_EQ(iconNotifications, 1);
    test::settle(GeneralTab::menuBarHiddenAlertDelayMs + 100);
    EXPECT_TRUE(alerts->shown().isEmpty());
}

TEST_F(PreferencesViewTest, ClosingThePreferencesBeforeTheAlertIsDueCancelsIt) {
    make();
    checkBox(Constants::showMenuBarIcon)->click();
    window.reset();
    test::settle(GeneralTab::menuBarHiddenAlertDelayMs + 100);
    EXPECT_TRUE(alerts->shown().isEmpty());
}

TEST_F(PreferencesViewTest, CheckNowStartsAUserCheckWhateverTheAutomaticSetting) {
    store->setBool(Constants::enableAutoUpdates, false);
    make();
    view().selectTab(PreferencesGeometry::advancedTab);
    view().advancedTab()->checkNowButton()->click();
    view().advancedTab()->checkNowButton()->click();
    EXPECT_EQ(updateChecks, 2);
    EXPECT_FALSE(store->boolForKey(Constants::enableAutoUpdates));
}

// Language.

TEST_F(PreferencesViewTest, LanguagePickerListsEveryChoiceInOrderWithTheCurrentOneSelected) {
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("ru"));
    make();
    QComboBox* picker = view().generalTab()->languagePicker();
    const QList<SupportedLanguage>& cases = SupportedLanguage::allCases();
    ASSERT_EQ(picker->count(), cases.size());
    for (int i = 0; i < picker->count(); ++i) {
        const SupportedLanguage language = cases.at(i);
        EXPECT_EQ(picker->itemData(i).toString(), language.rawValue());
        EXPECT_EQ(picker->itemText(i), language == SupportedLanguage::system
                                           ? localized(LocalizationKeys::languageSystemDefault)
                                           : language.displayName());
    }
    EXPECT_EQ(picker->currentData().toString(), QStringLiteral("ru"));
    EXPECT_EQ(picker->itemText(0), QStringLiteral("Как в системе"));
    EXPECT_LE(picker->maximumWidth(), 200);
}

TEST_F(PreferencesViewTest, ChoosingALanguageRetitlesTheGeneralTabButNotTheAdvancedTabOrTheWindow) {
    make();
    window->show();
    QComboBox* picker = view().generalTab()->languagePicker();
    const QString advancedTitle = view().advancedTab()->findChild<SymbolLabel*>()->text();

    picker->setCurrentIndex(picker->findData(QStringLiteral("de")));
    Q_EMIT picker->activated(picker->currentIndex());

    EXPECT_EQ(LocalizationManager::shared().currentLanguage(), QStringLiteral("de"));
    EXPECT_EQ(store->stringForKey(Constants::appLanguage), QStringLiteral("de"));
    EXPECT_EQ(view().tabButton(0)->title(), QStringLiteral("Allgemein"));
    EXPECT_EQ(view().tabButton(1)->title(), QStringLiteral("Erweitert"));
    EXPECT_EQ(checkBox(Constants::useShiftKey)->text(), QStringLiteral("Umschalt"));
    EXPECT_EQ(checkBox(Constants::launchAtLogin)->text(), localized(LocalizationKeys::startAtLogin));
    const QStringList headings = [&] {
        QStringList texts;
        for (const SymbolLabel* heading : view().generalTab()->findChildren<SymbolLabel*>())
            texts.append(heading->text());
        return texts;
    }();
    EXPECT_TRUE(headings.contains(QStringLiteral("Sprache")));
    EXPECT_TRUE(headings.contains(QStringLiteral("Auslösetasten")));

    EXPECT_EQ(view().advancedTab()->findChild<SymbolLabel*>()->text(), advancedTitle);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));
}

TEST_F(PreferencesViewTest, ChoosingTheSystemEntryStoresSystem) {
    make();
    QComboBox* picker = view().generalTab()->languagePicker();
    picker->setCurrentIndex(0);
    Q_EMIT picker->activated(0);
    EXPECT_EQ(LocalizationManager::shared().currentLanguage(), QStringLiteral("system"));
    EXPECT_EQ(store->stringForKey(Constants::appLanguage), QStringLiteral("system"));
    EXPECT_EQ(picker->currentIndex(), 0);
}

TEST_F(PreferencesViewTest, ShortcutLayoutPickerOffersEnglishThenTheInstalledLayoutsAndFollowsTheKeymap) {
    auto sources = std::make_shared<FakeTextInputSources>();
    sources->setSources(
        {{QStringLiteral("ru"), QStringLiteral("Russian")}, {QStringLiteral("gb"), QStringLiteral("UK")}});
    Platform platform = Platform::current();
    platform.inputSources = sources;
    Platform::install(platform);
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("ru"));
    make();
    window->show();
    QComboBox* picker = view().generalTab()->shortcutLayoutPicker()->comboBox();
    ASSERT_EQ(picker->count(), 3);
    EXPECT_EQ(picker->itemText(0), QStringLiteral("Английская (автоматически)"));
    EXPECT_EQ(picker->itemText(2), QStringLiteral("UK"));
    Q_EMIT picker->activated(2);
    EXPECT_EQ(store->stringForKey(Constants::shortcutLayout), QStringLiteral("gb"));

    // UK removed from the keymap: still stored, but English applies and shows.
    sources->setSources({{QStringLiteral("de"), QStringLiteral("German")}});
    ASSERT_TRUE(test::waitUntil([&] { return picker->count() == 2; }));
    EXPECT_EQ(picker->itemText(1), QStringLiteral("German"));
    EXPECT_EQ(picker->currentIndex(), 0);
    EXPECT_EQ(store->stringForKey(Constants::shortcutLayout), QStringLiteral("gb"));
    Q_EMIT picker->activated(0);
    EXPECT_FALSE(store->hasObject(Constants::shortcutLayout));
}

TEST_F(PreferencesViewTest, AdvancedTabTextsAreFixedEnglish) {
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("ja"));
    make();
    AdvancedTab* advanced = view().advancedTab();
    EXPECT_EQ(advanced->findChild<SymbolLabel*>()->text(), QStringLiteral("Advanced Settings"));
    EXPECT_EQ(advanced->autoUpdatesCheckBox()->text(), QStringLiteral("Automatically check for updates"));
    EXPECT_EQ(advanced->checkNowButton()->text(), QStringLiteral("Check Now"));
    EXPECT_EQ(advanced->resetButton()->text(), QStringLiteral("Reset all settings to defaults"));
    EXPECT_EQ(advanced->versionLabel()->text(),
              QStringLiteral("Current version: ") + ApplicationIdentity::version());
    QStringList texts;
    for (const QLabel* label : advanced->findChildren<QLabel*>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("These settings are for advanced users and troubleshooting.")));
}

// Tabs.

TEST_F(PreferencesViewTest, OpensOnTheGeneralTabAndSwitchesWithTheTabButtons) {
    make();
    window->show();
    EXPECT_EQ(view().selectedTab(), 0);
    EXPECT_TRUE(view().tabButton(0)->isSelected());
    EXPECT_FALSE(view().tabButton(1)->isSelected());
    EXPECT_TRUE(view().generalTab()->isVisible());
    EXPECT_FALSE(view().advancedTab()->isVisible());

    view().tabButton(1)->click();
    EXPECT_EQ(view().selectedTab(), 1);
    EXPECT_FALSE(view().tabButton(0)->isSelected());
    EXPECT_TRUE(view().tabButton(1)->isSelected());
    EXPECT_FALSE(view().generalTab()->isVisible());
    EXPECT_TRUE(view().advancedTab()->isVisible());
    EXPECT_EQ(view().tabButton(1)->selectionAnimation()->duration(), 300);
    ASSERT_TRUE(test::waitUntil([&] { return view().tabButton(1)->selectionProgress() == 1.0; }));
    EXPECT_EQ(view().tabButton(0)->selectionProgress(), 0.0);

    view().tabButton(0)->click();
    EXPECT_EQ(view().selectedTab(), 0);
    EXPECT_TRUE(view().generalTab()->isVisible());
}

// Heights.

TEST_F(PreferencesViewTest, StartsAtThePresetHeightBeforeItIsShown) {
    PreferencesView& preferences = make();
    EXPECT_EQ(preferences.targetHeight(), PreferencesGeometry::initialTargetHeight);
    EXPECT_EQ(preferences.displayedHeight(), 280);
    EXPECT_EQ(preferences.scrollArea()->maximumHeight(), 280);
    EXPECT_EQ(preferences.scrollArea()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(preferences.minimumSize(), QSize(550, 290));
    EXPECT_EQ(preferences.maximumSize(), QSize(700, 550));
}

TEST_F(PreferencesViewTest, ScrollAreaAndWindowFollowEachTabsContentWithTheTopEdgeFixed) {
    PreferencesView& preferences = make();
    const int top = window->geometry().top();
    showAndSettle();
    for (const int tab : {PreferencesGeometry::advancedTab, PreferencesGeometry::generalTab}) {
        SCOPED_TRACE(tab);
        preferences.selectTab(tab);
        settleHeights();
        const qreal expected =
            PreferencesGeometry::targetHeightForContent(preferences.measuredContentHeight());
        EXPECT_LE(qAbs(preferences.targetHeight() - expected), PreferencesGeometry::changeThreshold);
        EXPECT_EQ(preferences.scrollArea()->height(), qRound(preferences.targetHeight()));
        EXPECT_EQ(window->height(), qRound(preferences.targetHeight() + 70));
        EXPECT_EQ(window->geometry().top(), top);
        EXPECT_EQ(window->width(), 600);
    }
}

TEST_F(PreferencesViewTest, TheAdvancedTabIsShorterThanTheGeneralTab) {
    PreferencesView& preferences = make();
    showAndSettle();
    const int generalHeight = window->height();
    preferences.selectTab(PreferencesGeometry::advancedTab);
    settleHeights();
    EXPECT_LT(window->height(), generalHeight - PreferencesGeometry::changeThreshold);
}

TEST_F(PreferencesViewTest, HeightChangesAnimateWithTheConfiguredTimings) {
    PreferencesView& preferences = make();
    showAndSettle();
    preferences.updateContentHeight(preferences.targetHeight() - 100 - 50);
    ASSERT_NE(preferences.heightAnimation(), nullptr);
    EXPECT_EQ(preferences.heightAnimation()->state(), QAbstractAnimation::Running);
    EXPECT_EQ(preferences.heightAnimation()->duration(), 300);
    EXPECT_EQ(preferences.heightAnimation()->easingCurve(), ViewStyle::easeInOut());
    EXPECT_TRUE(test::waitUntil([&] { return preferences.windowAnimation() != nullptr; }));
    EXPECT_EQ(preferences.windowAnimation()->duration(), 400);
    EXPECT_EQ(preferences.windowAnimation()->easingCurve(), ViewStyle::easeInOut());
}

TEST_F(PreferencesViewTest, ChangesOfEightPointsOrLessLeaveEverythingAlone) {
    PreferencesView& preferences = make();
    showAndSettle();
    const qreal target = preferences.targetHeight();
    const QRect geometry = window->geometry();
    preferences.updateContentHeight(target - 100 + 8);
    preferences.updateContentHeight(target - 100 - 8);
    EXPECT_EQ(preferences.heightAnimation()->state(), QAbstractAnimation::Stopped);
    test::settle(PreferencesGeometry::windowResizeDelayMs + 50);
    EXPECT_EQ(preferences.targetHeight(), target);
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_EQ(preferences.windowAnimation(), nullptr);
}

TEST_F(PreferencesViewTest, VeryTallContentScrollsInsideTheTallestWindow) {
    PreferencesView& preferences = make();
    showAndSettle();
    preferences.updateContentHeight(2000);
    settleHeights();
    EXPECT_EQ(preferences.targetHeight(), 480);
    EXPECT_EQ(preferences.scrollArea()->height(), 480);
    EXPECT_EQ(window->height(), 550);
}

TEST_F(PreferencesViewTest, AWindowWhoseTitleLacksTheProductNameKeepsItsSize) {
    PreferencesView& preferences = make(QStringLiteral("Preferences"));
    showAndSettle();
    const QSize size = window->size();
    EXPECT_EQ(size, QSize(600, 360));
    preferences.updateContentHeight(50);
    settleHeights();
    EXPECT_EQ(preferences.targetHeight(), 220);
    EXPECT_EQ(preferences.scrollArea()->height(), 220);
    EXPECT_EQ(window->size(), size);
}

} // namespace
