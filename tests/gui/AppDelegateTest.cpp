#include "app/AppDelegate.h"
#include "base/ApplicationIdentity.h"
#include "fakes/FakePlatform.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/qt/QtAlertPresenter.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "support/CapturedOutput.h"
#include "support/LocalHttpServer.h"
#include "support/WaitUntil.h"
#include "ui/OnboardingView.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// The application over a fake platform that cannot reach display :9, tracing and counting usage.
class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        store->setBool(Constants::enableDebugMode, true);
        store->setBool(Constants::enableUsageStats, true);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false); // a menu is open from popup() on
        fakes.trust->setTrusted(false, {UntrustedReason::Cause::displayUnreachable,
                                        {QStringLiteral(":9")},
                                        QStringLiteral("cannot connect to the X display :9")});
        makeUpdates(QStringLiteral("http://127.0.0.1:9/version.json"));
        output.clear();
    }
    void TearDown() override { delegate.reset(), SettingsStore::setStandard(nullptr); }
    AppDelegate& make() { return *(delegate = std::make_unique<AppDelegate>(*updates)); }
    // The application with its tray icon, over the default settings.
    AppDelegate& withTray() {
        configureDefaultSettings();
        make().setupStatusBar();
        return *delegate;
    }
    void makeUpdates(const QString& feed) {
        auto dependencies = UpdateManager::Dependencies::system();
        dependencies.feedAddress = feed;
        dependencies.bundleVersion = [] { return QStringLiteral("1.0.0"); };
        updates = std::make_unique<UpdateManager>(dependencies);
    }
    // The tray menu as shown ("&&" shows as "&"), "—" for a separator.
    QStringList menuRows() const {
        QStringList rows;
        for (const QAction* action : delegate->statusItem->contextMenu()->actions())
            rows.append(action->isSeparator() ? QStringLiteral("—") : action->text().replace("&&", "&"));
        return rows;
    }
    static QString tr(const QString& key) { return LocalizationManager::shared().localizedString(key); }
    // Trace messages without time and place, and the usage events.
    QStringList traced() const { return output.messages(QStringLiteral("🐛")); }
    QStringList events() const { return output.messages(QStringLiteral("📊"), QStringLiteral("Analytics: ")); }

    FakePlatform fakes;
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    test::CapturedOutput output;
    test::LocalHttpServer server;
    std::unique_ptr<UpdateManager> updates;
    std::unique_ptr<AppDelegate> delegate;
};

// The one trace of shutdown: everything torn down once, later runs only log.
TEST_F(AppDelegateTest, CleanupTearsDownOnceAndNothingHappensAfterIt) {
    store->setBool(Constants::hasLaunchedBefore, true);
    fakes.trust->setTrusted(true);
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    fakes.focus->focus("steam"); // each focus change is traced, from the focus at start on
    EXPECT_EQ(traced().filter("Focused application"),
              (QStringList{"Focused application: none", "Focused application: steam"}));
    const auto tap = fakes.taps->latest();
    app.startPermissionChecking();
    output.clear();
    NotificationCenter::defaultCenter().post(Constants::applicationWillTerminateNotification);
    EXPECT_TRUE(tap->invalidated);
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(traced(), (QStringList{"Starting cleanup process", "Permission checking stopped",
                                     "Event tap disabled and invalidated", "Closing all windows",
                                     "Cleanup completed"}));
    app.cleanup();
    output.clear();
    app.startKeyboardMonitoring(), app.showPreferences();
    ASSERT_TRUE(test::drainQueued());
    EXPECT_TRUE(output.lines().isEmpty()) << output.lines().join('\n').toStdString();
    EXPECT_EQ(fakes.taps->createdCount(), 1);
}

TEST_F(AppDelegateTest, PreferencesOpenOnceAndComeBackNew) {
    AppDelegate& app = make();
    app.showPreferences(), app.showPreferences();
    HostWindow* first = app.preferencesWindow;
    ASSERT_TRUE(first && first->isVisible());
    first->close();
    EXPECT_EQ(app.preferencesWindow, nullptr);
    app.showPreferences();
    EXPECT_EQ(traced().count(QStringLiteral("Preferences window created")), 2);
}

TEST_F(AppDelegateTest, MenuRowsShortcutsAndRebuildOnlyOnceClosed) {
    store->setBool(Constants::enableDebugMode, false);
    AppDelegate& app = withTray();
    app.setupStatusBar();
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("⚠️ No system tray")).size(), 1);
    // Doubled, a menu shows one "&" and makes no mnemonic of the next letter.
    EXPECT_EQ(app.statusItem->contextMenu()->actions().at(4)->text(),
              tr(LocalizationKeys::menuHelpSupport).replace("&", "&&"));
    // Without keyboard access no tap runs, and the first row says so.
    EXPECT_EQ(menuRows().mid(0, 3), (QStringList{tr(LocalizationKeys::menuSwitchingOff), "—",
                                                 tr(LocalizationKeys::menuPreferences)}));
    EXPECT_EQ(app.statusItem->toolTip(), tr(LocalizationKeys::traySwitchingOff));

    // An open menu keeps its rows until it closes.
    QMenu* open = app.statusItem->contextMenu();
    open->popup(QPoint(0, 0));
    store->setBool(Constants::enableDebugMode, true);
    app.updateStatusItemIcon();
    EXPECT_EQ(menuRows().size(), 10);
    open->hide();
    EXPECT_TRUE(test::waitUntil([&] { return menuRows().contains(tr(LocalizationKeys::menuDebugInfo)); }));
    // The row runs the flow (alert, poll); access granted under the alert, the poll's tap takes the row away
    // long before the minute's refresh.
    fakes.alerts->whileShowing([&](const Alert&) { fakes.trust->setTrusted(true); });
    app.statusItem->contextMenu()->actions().first()->trigger();
    EXPECT_EQ(fakes.alerts->shown().size(), 1);
    EXPECT_NE(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_TRUE(test::waitUntil([&] { return menuRows().first() == tr(LocalizationKeys::menuPreferences); }));
    EXPECT_NE(app.engine.eventTap, nullptr);
    EXPECT_NE(app.statusItem->toolTip(), tr(LocalizationKeys::traySwitchingOff));
}

// The rows' shortcuts, typed while the real menu is open and has the keyboard.
TEST_F(AppDelegateTest, ShortcutsWorkWhileTheMenuIsOpen) {
    const struct {
        const char* name;
        Qt::Key key;
        bool preferences, quit;
    } cases[] = {{"Preferences", Qt::Key_Comma, true, false},
                 {"Quit", Qt::Key_Q, false, true},
                 {"NoSuchShortcut", Qt::Key_W, false, false}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        AppDelegate& app = withTray();
        QMenu* menu = app.statusItem->contextMenu();
        menu->popup(QPoint(0, 0));
        ASSERT_EQ(QApplication::activePopupWidget(), menu);
        // No receiver: Qt Test hands the key to the open popup, as the desktop would.
        QTest::keyClick(static_cast<QWidget*>(nullptr), row.key, Qt::ControlModifier);
        EXPECT_EQ(menu->isVisible(), !row.preferences && !row.quit);
        EXPECT_EQ(app.preferencesWindow && app.preferencesWindow->isVisible(), row.preferences);
        EXPECT_EQ(app.isShuttingDown, row.quit);
        menu->hide();
        delegate.reset();
    }
}

// The glyph (the icon theme's symbol, 22 pixels high, else Velmora's own, 16) takes the palette's text
// colour, also when the palette changes under a running icon, and fades while switching is off.
TEST_F(AppDelegateTest, TrayIconFollowsThePaletteAndFadesWhileSwitchingIsOff) {
    const struct {
        const char* name;
        QColor text;
        bool trusted;
        int alpha, height;
        QString theme;
    } cases[] = {
        {"LightPanel", QColor(0x20, 0x20, 0x20), true, 255, 16, "hicolor"},
        {"DarkPanel", QColor(0xf0, 0xf0, 0xf0), true, 255, 16, "hicolor"},
        {"SwitchingOff", QColor(0xf0, 0xf0, 0xf0), false, 102, 16, "hicolor"},
        {"ThemeSymbolOnDarkPanel", QColor(0xf0, 0xf0, 0xf0), true, 255, 22, "Adwaita"},
    };
    const QPalette original = QApplication::palette();
    const QString originalTheme = QIcon::themeName();
    const QStringList originalThemePaths = QIcon::themeSearchPaths();
    // Where the desktop's platform theme looks; offscreen looks nowhere.
    QIcon::setThemeSearchPaths({"/usr/share/icons"});
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        fakes.trust->setTrusted(row.trusted);
        QIcon::setThemeName(row.theme);
        AppDelegate& app = withTray();
        QPalette palette = original;
        palette.setColor(QPalette::WindowText, row.text);
        QApplication::setPalette(palette);
        const QImage image =
            app.statusItem->icon().pixmap(QSize(22, 22)).toImage().convertToFormat(QImage::Format_ARGB32);
        QApplication::setPalette(original), QIcon::setThemeName(originalTheme);
        EXPECT_EQ(image.height(), row.height) << "Adwaita comes with scripts/bootstrap --tests";
        // The most opaque pixels are the glyph's body, in the text colour.
        QList<QRgb> body{0};
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb pixel = image.pixel(x, y); qAlpha(pixel) > qAlpha(body.first()))
                    body = {pixel};
                else if (qAlpha(pixel) == qAlpha(body.first()))
                    body.append(pixel);
        for (const QRgb pixel : body)
            EXPECT_LE(std::abs(qGray(pixel) - qGray(row.text.rgb())), 2);
        EXPECT_NEAR(qAlpha(body.first()), row.alpha, 2);
        EXPECT_GT(body.size(), 10);
        delegate.reset();
    }
    QIcon::setThemeSearchPaths(originalThemePaths);
}

// Help & Support hands the page to the opener; if none takes it, a line and an alert with the address say so.
// Check for Updates is the user's own check: it offers a version they skipped, and says when none is newer.
TEST_F(AppDelegateTest, SupportAndCheckForUpdatesRows) {
    ASSERT_TRUE(server.start());
    makeUpdates(server.url(QStringLiteral("/version.json")).toString());
    AppDelegate& app = withTray();
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens ? "Opened" : "NoOpener");
        fakes.machine->launchSucceeds = opens;
        output.clear();
        const qsizetype alertsBefore = fakes.alerts->shown().size();
        app.statusItem->contextMenu()->actions().at(4)->trigger();
        ASSERT_TRUE(test::waitUntil([&] { return !output.linesStartingWith(opens ? "🔗" : "❌").isEmpty(); }));
        ASSERT_TRUE(test::drainQueued());
        EXPECT_EQ(fakes.machine->launchedFiles.last(), ApplicationIdentity::supportPage());
        EXPECT_EQ(fakes.alerts->shown().size() - alertsBefore, opens ? 0 : 1);
        EXPECT_TRUE(opens || fakes.alerts->shown().last().informativeText.contains(
                                 ApplicationIdentity::supportPage()));
    }
    store->setString(Constants::skipUpdateVersion, QStringLiteral("9.9.9"));
    fakes.alerts->answerWith(AlertResponse::thirdButton); // the offer: remind me later
    for (const QByteArray version : {"9.9.9", "1.0.0"}) {
        server.answer("/version.json", {.body = R"({"name":"V","url":"u","version":")" + version + "\"}"});
        const qsizetype before = fakes.alerts->shown().size();
        const int row = menuRows().indexOf(tr(LocalizationKeys::menuCheckUpdates));
        app.statusItem->contextMenu()->actions().at(row)->trigger();
        ASSERT_TRUE(test::waitUntil([&] { return fakes.alerts->shown().size() > before; }));
        EXPECT_EQ(fakes.alerts->shown().last().messageText,
                  tr(version == "1.0.0" ? LocalizationKeys::noUpdatesTitle
                                        : LocalizationKeys::updateAvailableTitle));
    }
}

// Under a row's running handler (the update offer) its menu is neither rebuilt nor released; after it, both.
TEST_F(AppDelegateTest, MenuStaysWhileItsRowsHandlerRuns) {
    fakes.trust->setTrusted(true); // no "switching is off" row above the others
    AppDelegate& app = withTray();
    updates->handleUpdateResponse(R"({"name":"V","version":"9.9.9","url":"http://127.0.0.1:9/V.deb"})", {},
                                  {}, true);
    app.updateAvailable({});
    ASSERT_TRUE(test::waitUntil([&] { return menuRows().at(2).contains(QStringLiteral("9.9.9")); }));
    // Runs the offer's row, answered "remind me later"; what `meanwhile` finds under its alert.
    const auto underTheRow = [&](QMenu* menu, const std::function<bool()>& meanwhile) {
        bool found = false;
        fakes.alerts->answerWith(AlertResponse::thirdButton);
        fakes.alerts->whileShowing([&](const Alert&) { found = meanwhile(); });
        menu->actions().at(2)->trigger();
        return found;
    };
    const QPointer<QMenu> menu = app.statusItem->contextMenu();
    EXPECT_TRUE(underTheRow(menu, [&] {
        store->setBool(Constants::enableDebugMode, false);
        app.updateStatusItemIcon();
        return app.statusItem->contextMenu() == menu;
    }));
    EXPECT_NE(app.statusItem->contextMenu(), menu);
    const QPointer<QMenu> rebuilt = app.statusItem->contextMenu();
    EXPECT_TRUE(underTheRow(rebuilt, [&] {
        store->setBool(Constants::showMenuBarIcon, false);
        app.updateMenuBarIconVisibility();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !rebuilt.isNull();
    }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(rebuilt.isNull()) << "hiding the icon releases its menu";
}

// Start-up by launchedBefore, trust, login item on, its registration failing: a tap, or an alert and a poll.
TEST_F(AppDelegateTest, StartUpVariants) {
    const struct {
        const char* name;
        bool launchedBefore, trusted, loginEnabled, loginFails, tap, alert;
        const char* autoLaunch;
    } cases[] = {
        {"FirstStart", false, false, false, false, false, false, "enabled automatically"},
        {"LaterTrusted", true, true, true, false, true, false, "already enabled"},
        {"LaterUntrusted", true, false, true, false, false, true, "already enabled"},
        {"LoginTurnedOff", true, true, false, false, true, false, "enabled automatically"},
        {"LoginRefused", true, true, false, true, true, false, "could not be enabled automatically"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        TearDown(), store = std::make_shared<InMemorySettingsStore>(), SetUp();
        FakePlatform platform;
        store->setBool(Constants::hasLaunchedBefore, row.launchedBefore);
        if (row.launchedBefore)
            store->setBool(Constants::launchAtLogin, row.loginEnabled);
        platform.trust->setTrusted(row.trusted);
        platform.loginItems->current =
            row.loginEnabled ? LoginItemStatus::enabled : LoginItemStatus::notRegistered;
        if (row.loginFails)
            platform.loginItems->failure = Error{QStringLiteral("Test"), 2, QStringLiteral("disk full")};
        platform.alerts->answerWith(AlertResponse::secondButton);
        QStringList tracedWhileAlertUp;
        platform.alerts->whileShowing([&](const Alert&) { tracedWhileAlertUp = traced(); });
        AppDelegate& app = make();
        app.applicationDidFinishLaunching();
        EXPECT_TRUE(store->boolForKey(Constants::hasLaunchedBefore));
        EXPECT_EQ(app.engine.eventTap != nullptr, row.tap);
        EXPECT_EQ(app.permissions.permissionCheckTimer != nullptr, row.alert);
        EXPECT_EQ(platform.alerts->shown().size(), row.alert ? 1 : 0);
        EXPECT_EQ(app.onboardingWindow && app.onboardingWindow->isVisible(), !row.launchedBefore);
        EXPECT_EQ(store->boolForKey(Constants::launchAtLogin), !row.loginFails);
        EXPECT_TRUE(traced().contains(QStringLiteral("Auto launch ") + row.autoLaunch));
        // Start-up finishes only once the alert is answered.
        EXPECT_FALSE(tracedWhileAlertUp.contains(QStringLiteral("Application finished launching")));
        EXPECT_TRUE(traced().contains(QStringLiteral("Application finished launching")));
        delegate.reset();
    }
}

// The one trace of the permission flow, from the first start without trust.
TEST_F(AppDelegateTest, FirstRequestWithoutTrustExplainsOpensSettingsAndPolls) {
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("ru"));
    AppDelegate& app = make();
    app.startKeyboardMonitoring();
    const auto temporary = fakes.taps->latest();
    ASSERT_NE(temporary, nullptr);
    EXPECT_TRUE(test::waitUntil([&] { return !temporary->enabled; })) << "the temporary tap is switched off";
    EXPECT_TRUE(store->boolForKey(Constants::hasShownPermissionRequest));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("🔐")),
              (QStringList{"🔐 Accessibility Permission: ❌ Denied",
                           "🔐 Accessibility permissions requested, trusted: false",
                           "🔐 Accessibility Permission: ❌ Denied"}));
    EXPECT_EQ(events(), QStringList{"accessibility_permission_granted"});
    ASSERT_EQ(fakes.alerts->shown().size(), 1);
    EXPECT_EQ(fakes.alerts->shown().first().dismissResponse, AlertResponse::secondButton)
        << "Escape answers Later";
    // The reason in the interface language, as a paragraph of its own; the trace stays English.
    EXPECT_TRUE(fakes.alerts->shown().first().informativeText.endsWith(
        QStringLiteral("\n\nVelmora не может подключиться к X-дисплею :9.")))
        << fakes.alerts->shown().first().informativeText.toStdString();
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌")),
              QStringList{"❌ The keyboard cannot be observed: cannot connect to the X display :9"});
    EXPECT_EQ(fakes.machine->openedUrls.size(), 1) << "the first button opens the settings";
    EXPECT_NE(app.permissions.permissionCheckTimer, nullptr);

    // Asked again, later: no second request, and "Later" opens nothing.
    output.clear();
    fakes.alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    EXPECT_TRUE(events().isEmpty());
    EXPECT_EQ(fakes.machine->openedUrls.size(), 1);

    // GNOME's refusal, its three values filled in, in the user's language.
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("ja"));
    fakes.trust->setTrusted(false, {UntrustedReason::Cause::extensionRefused, {"51.0", "43, 44", "51"}, {}});
    app.showAccessibilityAlert();
    EXPECT_TRUE(fakes.alerts->shown().last().informativeText.contains(
        "GNOME Shell 51.0 は、Velmora の GNOME Shell 拡張機能（GNOME 43, 44 "
        "向け）をどれも実行しません。GNOME 51 向けの"))
        << fakes.alerts->shown().last().informativeText.toStdString();
}

TEST_F(AppDelegateTest, TrustGrantedByTheRequestItselfNeedsNoAlert) {
    int asked = 0;
    fakes.trust->whenAsked = [&] {
        if (++asked == 2)
            fakes.trust->setTrusted(true);
    };
    AppDelegate& app = make();
    app.startKeyboardMonitoring();
    EXPECT_NE(app.engine.eventTap, nullptr);
    EXPECT_TRUE(fakes.alerts->shown().isEmpty());
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
}

// The onboarding's alert says switching starts once access arrives: then the poll runs, a grant makes a tap.
TEST_F(AppDelegateTest, OnboardingWithoutTrustPollsAfterItsAlert) {
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    auto* onboarding = app.onboardingWindow->findChild<OnboardingView*>();
    ASSERT_NE(onboarding, nullptr);
    fakes.alerts->answerWith(AlertResponse::secondButton);
    onboarding->primaryButton()->click();
    onboarding->primaryButton()->click();
    ASSERT_EQ(fakes.alerts->shown().size(), 1);
    EXPECT_EQ(fakes.alerts->shown().first().messageText, tr(LocalizationKeys::enableAccessibilityAlertTitle));
    ASSERT_NE(app.permissions.permissionCheckTimer, nullptr);
    fakes.trust->setTrusted(true);
    EXPECT_TRUE(test::waitUntil([&] { return app.engine.eventTap != nullptr; }));
}

TEST_F(AppDelegateTest, GrantFoundByAPollAfterShutdownBeganChangesNothing) {
    AppDelegate& app = make();
    fakes.alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    fakes.trust->whenAsked = [&] { fakes.trust->setTrusted(true), app.isShuttingDown = true; };
    ASSERT_TRUE(test::waitUntil([&] { return app.isShuttingDown; }));
    ASSERT_TRUE(test::drainQueued()); // the granted step the poll queued
    EXPECT_EQ(app.engine.eventTap, nullptr);
    EXPECT_FALSE(traced().contains(QStringLiteral("Permission checking stopped")));
}

// Under a real alert a person answers, the poll's grant and an update check's reply both take effect, and
// Escape still answers Later.
TEST_F(AppDelegateTest, PollAndNetworkReplyWhileARealAlertIsOpen) {
    ASSERT_TRUE(server.start());
    server.answer("/version.json",
                  {.body = R"({"name":"V","version":"9.9.9","url":"http://127.0.0.1:9/V.deb"})"});
    makeUpdates(server.url(QStringLiteral("/version.json")).toString());
    store->setBool(Constants::hasLaunchedBefore, true);
    fakes.alerts->answerWith(AlertResponse::secondButton);
    AppDelegate& app = make();
    app.applicationDidFinishLaunching(); // the alert answered "Later": polling
    updates->checkForUpdates(true);
    fakes.install(std::make_shared<QtAlertPresenter>());
    fakes.trust->setTrusted(true);
    bool seenWhileOpen = false;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* box = QApplication::activeModalWidget();
        if (box == nullptr || !app.engine.eventTap || !menuRows().at(2).contains(QStringLiteral("9.9.9")))
            return;
        seenWhileOpen = true;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &escape);
    });
    person.start(20);
    // A bound on waiting; it ends with the test, and finds no box once the person answered.
    QTimer::singleShot(15000, &person, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    app.showAccessibilityAlert();
    EXPECT_TRUE(seenWhileOpen && fakes.machine->openedUrls.isEmpty());
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(fakes.taps->createdCount(), 2) << "the temporary tap and the one the poll created";
}

} // namespace
