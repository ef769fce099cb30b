#include "app/AppDelegate.h"
#include "fakes/FakePlatform.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "support/Files.h"
#include "support/WaitUntil.h"
#include "ui/AdvancedTab.h"
#include "ui/ExcludedApplicationsList.h"
#include "ui/GeneralTab.h"
#include "ui/HostWindow.h"
#include "ui/OnboardingPageView.h"
#include "ui/OnboardingView.h"
#include "ui/PageSlider.h"
#include "ui/PreferencesGeometry.h"
#include "ui/PreferencesView.h"
#include "ui/SettingCheckBox.h"
#include "ui/ShortcutLayoutPicker.h"
#include "ui/StatusMenu.h"
#include "ui/SymbolIcons.h"
#include "ui/SymbolLabel.h"
#include "ui/SystemTranslations.h"
#include "ui/TabButton.h"
#include "ui/WindowHelper.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A key pressed where the focus is, as the window system delivers it.
void press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(window->focusWidget() != nullptr ? window->focusWidget() : window, &event);
}

bool activate(QWidget* window) {
    window->show();
    window->activateWindow();
    return test::waitUntil([&] { return window->isActiveWindow(); });
}

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
    PreferencesView& view = make({[&](bool enabled) { autoLaunchCalls.append(enabled); }, {}, {}});
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

    // Excluded applications: the running ones offered first, no repeat in another case, removal of the
    // selection; the note only where the desktop tells no focus.
    ExcludedApplicationsList* excluded = view.applicationsTab();
    excluded->setRunningApplications([] { return QList<QPair<QString, QString>>{{"steam", "Game"}}; });
    EXPECT_EQ(excluded->offeredApplications().value(0).second, "steam");
    for (const char* identifier : {"steam", "STEAM", " org.example.VM ", ""})
        excluded->add(identifier);
    EXPECT_EQ(store->stringListForKey(Constants::excludedApplications),
              (QStringList{"steam", "org.example.VM"}));
    EXPECT_EQ(excluded->list()->count(), 2);
    EXPECT_TRUE(excluded->note()->isHidden());
    excluded->list()->item(0)->setSelected(true);
    excluded->removeButton()->click();
    EXPECT_EQ(excluded->list()->count(), 1);
    fakes.focus->focus(std::nullopt, false);
    excluded->refresh();
    EXPECT_FALSE(excluded->note()->isHidden());

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
    EXPECT_FALSE(store->hasObject(Constants::excludedApplications) || excluded->list()->count() > 0);
    EXPECT_EQ(iconNotifications, notifications);
}

// The tray's checkmark row pauses switching, and shows a change made elsewhere when the menu opens.
using StatusMenuTest = PreferencesViewTest;
TEST_F(StatusMenuTest, TheCheckmarkRowPausesSwitching) {
    configureDefaultSettings();
    StatusMenu menu({});
    menu.refresh({});
    menu.switchingRow()->trigger();
    EXPECT_FALSE(store->boolForKey(Constants::switchToEnglish));
    store->setBool(Constants::switchToEnglish, true);
    menu.menu()->popup(QPoint(0, 0));
    EXPECT_TRUE(menu.switchingRow()->isChecked());
    menu.menu()->hide();
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
    fakes.sources->setSources({{"ru", "Russian"}, {"gb", "UK"}});
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
    const QString real = LayoutNameCatalog::pathFor(QStringLiteral("ru"));
    const QByteArray data = test::readFile(real);
    ASSERT_FALSE(data.isEmpty()) << "xkb-data's catalogue for Russian";
    QTemporaryDir folder;
    const std::pair<const char*, QByteArray> rows[] = {
        {"header only", data.left(28)},
        {"cut short", data.left(data.size() / 2)},
        {"cut short after its first names", data.left(data.size() * 9 / 10)},
        {"not a catalogue", QByteArray("msgid \"Russian\"\nmsgstr \"Русская\"\n")},
        {"empty", {}}};
    for (const auto& [name, content] : rows) {
        const QString path = folder.filePath(QString::fromUtf8(name));
        ASSERT_TRUE(test::writeFile(path, content));
        const LayoutNameCatalog catalog(path);
        EXPECT_TRUE(catalog.isEmpty()) << name;
        EXPECT_EQ(catalog.translate(QStringLiteral("Russian")), QStringLiteral("Russian")) << name;
    }
    EXPECT_TRUE(LayoutNameCatalog(folder.filePath(QStringLiteral("missing"))).isEmpty());
    EXPECT_FALSE(LayoutNameCatalog(real).isEmpty());
    EXPECT_TRUE(LayoutNameCatalog::pathFor(QStringLiteral("en")).isEmpty());
    EXPECT_TRUE(LayoutNameCatalog::pathFor(QStringLiteral("ja"), folder.path()).isEmpty());
}

// Tab visits the tabs, then every shown control in reading order, nothing unseen; Return selects a tab.
TEST_F(PreferencesViewTest, TabFollowsTheLayoutAndReturnSelects) {
    PreferencesView& view = make();
    ASSERT_TRUE(activate(window.get()));
    for (const int tab : {PreferencesGeometry::advancedTab, PreferencesGeometry::applicationsTab,
                          PreferencesGeometry::generalTab}) {
        view.tabButton(tab)->setFocus();
        press(window.get(), Qt::Key_Return);
        ASSERT_EQ(view.selectedTab(), tab);
        QList<QWidget*> visited;
        view.tabButton(PreferencesGeometry::generalTab)->setFocus();
        for (QWidget* at = window->focusWidget(); !visited.contains(at); at = window->focusWidget())
            visited.append(at), press(window.get(), Qt::Key_Tab);
        ASSERT_GT(visited.size(), 3);
        EXPECT_EQ(visited.mid(0, 3),
                  (QList<QWidget*>{view.tabButton(0), view.tabButton(2), view.tabButton(1)}));
        QList<QWidget*> reachable = window->findChildren<QWidget*>();
        reachable.removeIf([](QWidget* w) {
            return !w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus);
        });
        EXPECT_EQ(QSet(visited.begin(), visited.end()), QSet(reachable.begin(), reachable.end()));
        for (QWidget* stop : visited) // a control, no container without a focus of its own to show
            EXPECT_TRUE(qobject_cast<QAbstractButton*>(stop) || qobject_cast<QComboBox*>(stop) ||
                        qobject_cast<QListWidget*>(stop));
        for (qsizetype i = 3; i < visited.size(); ++i) {
            const QPoint before = visited[i - 1]->mapTo(window.get(), QPoint());
            const QPoint at = visited[i]->mapTo(window.get(), QPoint());
            EXPECT_TRUE(at.y() > before.y() || (at.y() == before.y() && at.x() > before.x()))
                << visited[i]->objectName().toStdString() << " comes before "
                << visited[i - 1]->objectName().toStdString();
        }
    }
}

// The welcome and its window, over the settings and the platform of the preferences' tests.
using OnboardingTest = PreferencesViewTest;

// The window manager's hints always hold the window's size, outside the limits and once a resize took it in;
// the welcome fills the window with its buttons inside, its page scrolling only where the window is too low.
TEST_F(OnboardingTest, HintsHoldTheSizeAndTheWelcomeFollowsIt) {
    const struct {
        QSize size, minimum, maximum;
        bool scrolls;
    } cases[] = {
        {{500, 600}, {500, 290}, {750, 600}, false},
        {{520, 300}, {520, 290}, {750, 550}, true},
        {{550, 290}, {550, 290}, {750, 550}, true},
        {{750, 550}, {550, 290}, {750, 550}, false},
    };
    auto* view = new OnboardingView;
    window.reset(WindowHelper::createWindow(QStringLiteral("Welcome to Velmora"), view, nullptr, 500, 600));
    window->show();
    for (const auto& row : cases) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(row.size.width()).arg(row.size.height()).toStdString());
        window->resize(row.size);
        ASSERT_TRUE(test::waitUntil([&] { return view->size() == row.size; }));
        EXPECT_EQ(window->minimumContentSize(), row.minimum);
        EXPECT_EQ(window->maximumContentSize(), row.maximum);
        for (int page = 0; page < 2; ++page, view->goForward()) {
            QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            for (QPushButton* button : {view->backButton(), view->primaryButton(), view->skipButton()})
                EXPECT_TRUE(
                    !button->isVisible() ||
                    window->rect().contains(QRect(button->mapTo(window.get(), QPoint()), button->size())))
                    << button->objectName().toStdString() << " on page " << page;
        }
        view->goBack();
        const QScrollBar* scroll =
            static_cast<OnboardingPageView*>(view->pageSlider()->page(0))->scrollArea()->verticalScrollBar();
        EXPECT_EQ(scroll->maximum() > 0, row.scrolls);
    }
    // The limits go by title: one naming Velmora, or its settings in Russian, case and all.
    const std::pair<const char*, bool> titles[] = {
        {"Дополнительные настройки", true}, {"Настройки", false}, {"velmora", false}};
    for (const auto& [title, limited] : titles) {
        window.reset(WindowHelper::createWindow(QString::fromUtf8(title), new QWidget, nullptr, 600, 360));
        EXPECT_EQ(window->minimumContentSize() == QSize(550, 290), limited) << title;
    }
}

// Each way out, by mouse or keys (Return on the focused button, Escape anywhere): what the view asks for.
TEST_F(OnboardingTest, WaysOut) {
    enum Way { skip, primary, escape };
    const struct {
        const char* name;
        bool trusted, keys;
        Way way;
        int answer;
        QStringList calls;
        int urlsAtClose, alerts;
    } cases[] = {
        {"Skip", false, false, skip, 0, {"close"}, 0, 0},
        {"SkipByKeys", false, true, skip, 0, {"close"}, 0, 0},
        {"Escape", true, true, escape, 0, {"close"}, 0, 0},
        {"GetStartedTrustedByKeys", true, true, primary, 0, {"monitor", "close"}, 0, 0},
        {"GetStartedUntrustedLater", false, false, primary, AlertResponse::secondButton, {"close"}, 0, 1},
        {"GetStartedUntrustedHelp", false, false, primary, AlertResponse::firstButton, {"close"}, 1, 1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        FakePlatform fakes;
        fakes.trust->setTrusted(row.trusted);
        fakes.alerts->answerWith(row.answer);
        QStringList calls;
        qsizetype urlsAtClose = -1;
        OnboardingView view({[&] { calls.append("monitor"); },
                             [&] { calls.append("close"), urlsAtClose = fakes.machine->openedUrls.size(); }});
        ASSERT_TRUE(activate(&view));
        const auto use = [&](QPushButton* button) {
            if (!row.keys)
                return button->click();
            button->setFocus();
            press(&view, Qt::Key_Return);
        };
        EXPECT_EQ(view.focusWidget(), view.primaryButton()) << "the way forward has the focus";
        use(view.primaryButton());
        EXPECT_EQ(view.currentPage(), 1);
        use(view.backButton());
        EXPECT_EQ(view.currentPage(), 0);
        use(view.primaryButton());
        EXPECT_EQ(view.currentPage(), 1);
        EXPECT_TRUE(calls.isEmpty()) << "moving on never gets started by itself";
        if (row.way == escape)
            press(&view, Qt::Key_Escape);
        else
            use(row.way == skip ? view.skipButton() : view.primaryButton());
        EXPECT_EQ(calls, row.calls);
        EXPECT_EQ(urlsAtClose, row.urlsAtClose) << "the help opens before the window closes";
        EXPECT_EQ(fakes.alerts->shown().size(), row.alerts);
    }
}

// Closing the welcome in any way starts switching where the keyboard can be observed without asking, and
// nothing where access is missing; the check itself shows no alert.
TEST_F(OnboardingTest, ClosingStartsSwitchingWhereAccessIsThere) {
    for (const bool trusted : {true, false})
        for (const int way : {0, 1, 2}) { // Skip, Escape, the window's close button
            SCOPED_TRACE(testing::PrintToString(way) + (trusted ? " trusted" : " untrusted"));
            SettingsStore::setStandard(store = std::make_shared<InMemorySettingsStore>());
            FakePlatform fakes;
            fakes.trust->setTrusted(trusted);
            AppDelegate app;
            app.createOnboardingWindow();
            ASSERT_TRUE(activate(app.onboardingWindow));
            if (way == 0)
                static_cast<OnboardingView*>(app.onboardingWindow->contentView())->skipButton()->click();
            else if (way == 1)
                press(app.onboardingWindow, Qt::Key_Escape);
            else
                app.onboardingWindow->close();
            EXPECT_EQ(app.onboardingWindow, nullptr);
            EXPECT_EQ(app.engine.eventTap != nullptr, trusted);
            EXPECT_TRUE(fakes.alerts->shown().isEmpty());
        }
}

// Symbols are drawn for the ratio of what they are painted on, at their intended size or the text's height;
// a focused prominent button wears a ring that stands out from its fill.
TEST(SymbolsAndFocus, SharpSymbolsAndAVisibleRing) {
    QFont small;
    small.setPixelSize(10);
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        SymbolLabel label(QStringLiteral("globe"), small);
        label.setText(QStringLiteral("Language"));
        label.adjustSize();
        QPixmap canvas(label.size() * ratio);
        canvas.setDevicePixelRatio(ratio);
        label.render(&canvas);
        const QPixmap& drawn = label.symbolView()->drawn();
        EXPECT_EQ(drawn.devicePixelRatio(), ratio);
        EXPECT_EQ(drawn.size(), QSize(SymbolIcons::intendedSize, SymbolIcons::intendedSize) * ratio);
    }
    QFont large;
    large.setPixelSize(40);
    EXPECT_GE(SymbolLabel(QStringLiteral("globe"), large).symbolView()->symbolSize(), 40);

    OnboardingView view;
    ASSERT_TRUE(activate(&view));
    QPushButton* button = view.primaryButton();
    const auto edge = [&] {
        const QImage image = button->grab().toImage();
        return std::abs(qGray(image.pixel(1, image.height() / 2)) -
                        qGray(image.pixel(6, image.height() / 2)));
    };
    const int focused = edge();
    view.skipButton()->setFocus();
    EXPECT_GT(focused, 60);
    EXPECT_LT(edge(), focused / 2);
}

} // namespace
