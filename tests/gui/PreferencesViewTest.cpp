#include "ui/PreferencesView.h"
#include "fakes/FakePlatform.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "settings/QSettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"
#include "switching/SystemUtils.h"
#include "ui/AdvancedTab.h"
#include "ui/GeneralTab.h"
#include "ui/HostWindow.h"
#include "ui/PreferencesGeometry.h"
#include "ui/SettingCheckBox.h"
#include "ui/ShortcutLayoutPicker.h"
#include "ui/TabButton.h"
#include "ui/WindowHelper.h"

#include <QAbstractAnimation>
#include <QComboBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>

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
    PreferencesView& make(const QString& title = QStringLiteral("Velmora"),
                          PreferencesView::Actions actions = {}) {
        auto* view = new PreferencesView(std::move(actions));
        window.reset(WindowHelper::createWindow(title, view, nullptr, 600, 360));
        return *view;
    }
    SettingCheckBox* box(const QString& key) const { return window->findChild<SettingCheckBox*>(key); }
    QList<SettingCheckBox*> boxes() const { return window->findChildren<SettingCheckBox*>(); }
    // Shown, and every height has followed the content: the window resize
    // comes a moment after the target, then both animations end.
    void settleHeights() {
        window->show();
        bool resizeDue = false;
        QTimer::singleShot(PreferencesGeometry::windowResizeDelayMs, [&] { resizeDue = true; });
        ASSERT_TRUE(test::waitUntil([&] {
            const auto animations = window->findChildren<QAbstractAnimation*>();
            return resizeDue && std::none_of(animations.begin(), animations.end(), [](auto* a) {
                       return a->state() == QAbstractAnimation::Running;
                   });
        }));
    }

    FakePlatform fakes;
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::unique_ptr<HostWindow> window;
    int iconNotifications = 0;
};

TEST_F(PreferencesViewTest, SwitchesStoreClicksFollowOtherWritersAndReset) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.conf"));
    auto fileStore = std::make_shared<QSettingsStore>(path);
    SettingsStore::setStandard(fileStore);
    QList<bool> autoLaunchCalls;
    PreferencesView& view = make("Velmora", {[&](bool enabled) { autoLaunchCalls.append(enabled); }, {}});
    ASSERT_EQ(boxes().size(), 9);
    EXPECT_TRUE(fileStore->allKeys().isEmpty()) << "showing the defaults writes nothing";
    fakes.alerts->answerWith(AlertResponse::firstButton);
    const QList<SettingCheckBox*> all = boxes();
    QList<bool> defaults;
    for (SettingCheckBox* each : all) {
        defaults.append(each->isChecked());
        each->click();
        EXPECT_EQ(fileStore->boolForKey(each->objectName()), !defaults.last())
            << each->objectName().toStdString();
    }
    EXPECT_EQ(autoLaunchCalls.size(), 1);

    // Reset brings back what was shown while the keys were absent, keeps the
    // debug switch, and leaves the icon to the next rebuild.
    const int notifications = iconNotifications;
    fileStore->setBool(Constants::enableDebugMode, true);
    view.selectTab(PreferencesGeometry::advancedTab);
    view.advancedTab()->resetButton()->click();
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->isChecked(), defaults[i]) << all[i]->objectName().toStdString();
        EXPECT_EQ(fileStore->boolForKey(all[i]->objectName()), defaults[i])
            << all[i]->objectName().toStdString();
    }
    EXPECT_TRUE(fileStore->boolForKey(Constants::enableDebugMode));
    EXPECT_EQ(iconNotifications, notifications);

    // Another process rewrites the file, as "velmora defaults write" does.
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\n");
    for (SettingCheckBox* each : all)
        file.write((each->objectName() + (each->isChecked() ? "=false\n" : "=true\n")).toUtf8());
    ASSERT_TRUE(file.commit());
    EXPECT_TRUE(test::waitUntil([&] {
        return std::equal(all.begin(), all.end(), defaults.begin(),
                          [](auto* each, bool shown) { return each->isChecked() != shown; });
    }));
    EXPECT_EQ(autoLaunchCalls.size(), 1) << "a redraw is not a change by the user";
    SettingsStore::setStandard(store);
}

TEST_F(PreferencesViewTest, StartAtLoginKeepsTheUsersChoiceWhenRegistrationFails) {
    make("Velmora", {[](bool enabled) { SystemUtils::setAutoLaunch(enabled); }, {}});
    fakes.loginItems->failNextCalls(Error{QStringLiteral("Test"), 1, QStringLiteral("refused")});
    test::CapturedOutput output;
    box(Constants::launchAtLogin)->click();
    EXPECT_EQ(fakes.loginItems->unregisterCalls(), 1);
    EXPECT_FALSE(box(Constants::launchAtLogin)->isChecked());
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Auto launch error: ")).size(), 1);
}

TEST_F(PreferencesViewTest, HidingTheIconExplainsAfterTheClickAndCanBringItBack) {
    for (const int answer : {AlertResponse::firstButton, AlertResponse::secondButton}) {
        make();
        store->setBool(Constants::showMenuBarIcon, true);
        iconNotifications = 0;
        const qsizetype shown = fakes.alerts->shown().size();
        fakes.alerts->answerWith(answer);
        box(Constants::showMenuBarIcon)->click();
        EXPECT_EQ(iconNotifications, 1);
        EXPECT_EQ(fakes.alerts->shown().size(), shown) << "the alert waits for the switch to finish";
        ASSERT_TRUE(test::waitUntil([&] { return fakes.alerts->shown().size() > shown; }));
        EXPECT_EQ(fakes.alerts->shown().last().messageText,
                  LocalizationManager::shared().localizedString(LocalizationKeys::menuBarHiddenTitle));
        const bool back = answer == AlertResponse::secondButton;
        EXPECT_EQ(store->boolForKey(Constants::showMenuBarIcon), back);
        EXPECT_EQ(box(Constants::showMenuBarIcon)->isChecked(), back);
        EXPECT_EQ(iconNotifications, back ? 2 : 1);
    }
    // Closed before the alert is due, the window takes the alert with it.
    box(Constants::showMenuBarIcon)->click();
    window.reset();
    bool due = false;
    QTimer::singleShot(GeneralTab::menuBarHiddenAlertDelayMs * 2, [&] { due = true; });
    ASSERT_TRUE(test::waitUntil([&] { return due; }));
    EXPECT_EQ(fakes.alerts->shown().size(), 2);
}

TEST_F(PreferencesViewTest, LanguageAndShortcutLayoutPickers) {
    fakes.sources->setSources(
        {{QStringLiteral("ru"), QStringLiteral("Russian")}, {QStringLiteral("gb"), QStringLiteral("UK")}});
    PreferencesView& view = make();
    window->show();
    QComboBox* language = view.generalTab()->languagePicker();
    language->setCurrentIndex(language->findData(QStringLiteral("de")));
    Q_EMIT language->activated(language->currentIndex());
    EXPECT_EQ(store->stringForKey(Constants::appLanguage), QStringLiteral("de"));
    EXPECT_EQ(box(Constants::useShiftKey)->text(), QStringLiteral("Umschalt"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));

    QComboBox* layout = view.generalTab()->shortcutLayoutPicker()->comboBox();
    ASSERT_EQ(layout->count(), 3);
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

TEST_F(PreferencesViewTest, HeightsFollowEachTabWithTheTopEdgeFixed) {
    PreferencesView& view = make();
    const int top = window->geometry().top();
    settleHeights();
    const int generalHeight = window->height();
    view.tabButton(1)->click();
    settleHeights();
    EXPECT_EQ(view.selectedTab(), 1);
    EXPECT_LT(window->height(), generalHeight - PreferencesGeometry::changeThreshold);
    EXPECT_EQ(view.scrollArea()->height(), qRound(view.targetHeight()));
    EXPECT_EQ(window->height(), PreferencesGeometry::windowHeight(view.targetHeight()));
    EXPECT_EQ(window->geometry().top(), top);
    view.updateContentHeight(2000);
    settleHeights();
    EXPECT_EQ(window->height(), PreferencesGeometry::maximumViewSize.height()) << "tall content scrolls";

    // A window whose title lacks the product name keeps its size.
    PreferencesView& other = make(QStringLiteral("Preferences"));
    settleHeights();
    other.updateContentHeight(50);
    settleHeights();
    EXPECT_EQ(other.scrollArea()->height(), qRound(other.targetHeight()));
    EXPECT_EQ(window->size(), QSize(600, 360));
}

} // namespace
