#include "app/AppDelegate.h"
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

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// The application over a fake platform whose trust says no ("scripted"),
// with the trace and the usage events printed.
class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        store->setBool(Constants::enableDebugMode, true);
        store->setBool(Constants::enableUsageStats, true);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        fakes.trust->setTrusted(false, QStringLiteral("scripted"));
        makeUpdates(QStringLiteral("http://127.0.0.1:9/version.json"));
        output.clear();
    }
    void TearDown() override {
        delegate.reset();
        SettingsStore::setStandard(nullptr);
    }
    AppDelegate& make() { return *(delegate = std::make_unique<AppDelegate>(*updates)); }
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
    QStringList traced(const QString& mark = QStringLiteral("🐛"), const QString& after = "(): ") const {
        QStringList messages;
        for (const QString& line : output.linesStartingWith(mark))
            messages.append(line.section(after, 1));
        return messages;
    }
    QStringList events() const { return traced(QStringLiteral("📊"), QStringLiteral("Analytics: ")); }
    // Runs the event loop until everything queued before this call has run.
    static void drainQueued() {
        bool after = false;
        QMetaObject::invokeMethod(
            qApp, [&] { after = true; }, Qt::QueuedConnection);
        ASSERT_TRUE(test::waitUntil([&] { return after; }));
    }

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
    app.startKeyboardMonitoring();
    app.showPreferences();
    drainQueued();
    EXPECT_TRUE(output.lines().isEmpty()) << output.lines().join('\n').toStdString();
    EXPECT_EQ(fakes.taps->createdCount(), 1);
}

TEST_F(AppDelegateTest, PreferencesOpenOnceAndComeBackNew) {
    AppDelegate& app = make();
    app.showPreferences();
    app.showPreferences();
    HostWindow* first = app.preferencesWindow;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    first->close();
    EXPECT_EQ(app.preferencesWindow, nullptr);
    app.showPreferences();
    EXPECT_EQ(traced().count(QStringLiteral("Preferences window created")), 2);
}

TEST_F(AppDelegateTest, MenuRowsShortcutsAndRebuildOnlyOnceClosed) {
    store->setBool(Constants::enableDebugMode, false);
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    app.setupStatusBar();
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("⚠️ No system tray")).size(), 1);
    const QList<QAction*> actions = app.statusItem->contextMenu()->actions();
    EXPECT_EQ(actions.last()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Doubled, a menu shows one "&" and makes no mnemonic of the next letter.
    EXPECT_EQ(actions.at(2)->text(), tr(LocalizationKeys::menuHelpSupport).replace("&", "&&"));

    // An open menu keeps its rows until it closes. Shown without an effect,
    // it is open from popup() on.
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    QMenu* open = app.statusItem->contextMenu();
    open->popup(QPoint(0, 0));
    store->setBool(Constants::enableDebugMode, true);
    app.updateStatusItemIcon();
    EXPECT_EQ(menuRows().size(), 6);
    open->hide();
    EXPECT_TRUE(test::waitUntil([&] { return menuRows().contains(tr(LocalizationKeys::menuDebugInfo)); }));
}

// While a row's handler runs (here: the update offer is on screen), its menu
// is neither rebuilt nor released; both happen once the handler returns.
TEST_F(AppDelegateTest, MenuStaysWhileItsRowsHandlerRuns) {
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    updates->handleUpdateResponse(R"({"name":"V","version":"9.9.9","url":"http://127.0.0.1:9/V.deb"})", {},
                                  {}, true);
    app.updateAvailable({});
    ASSERT_TRUE(test::waitUntil([&] { return menuRows().at(2).contains(QStringLiteral("9.9.9")); }));
    const QPointer<QMenu> menu = app.statusItem->contextMenu();
    bool keptWhileRunning = false;
    fakes.alerts->answerWith(AlertResponse::thirdButton); // remind me later
    fakes.alerts->whileShowing([&](const Alert&) {
        store->setBool(Constants::enableDebugMode, false);
        app.updateStatusItemIcon();
        keptWhileRunning = app.statusItem->contextMenu() == menu;
    });
    menu->actions().at(2)->trigger();
    EXPECT_TRUE(keptWhileRunning);
    EXPECT_NE(app.statusItem->contextMenu(), menu);

    const QPointer<QMenu> rebuilt = app.statusItem->contextMenu();
    bool aliveWhileRunning = false;
    fakes.alerts->answerWith(AlertResponse::thirdButton);
    fakes.alerts->whileShowing([&](const Alert&) {
        store->setBool(Constants::showMenuBarIcon, false);
        app.updateMenuBarIconVisibility();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveWhileRunning = !rebuilt.isNull();
    });
    rebuilt->actions().at(2)->trigger();
    EXPECT_TRUE(aliveWhileRunning);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(rebuilt.isNull()) << "hiding the icon releases its menu";
}

// Start-up with launchedBefore, trusted, the login item enabled, its
// registration failing; what it leaves: a tap, or an alert and polling.
struct StartCase {
    const char* name;
    bool launchedBefore, trusted, loginEnabled, loginFails, tap, alert;
    const char* autoLaunch;
};

TEST_F(AppDelegateTest, StartUpVariants) {
    const StartCase cases[] = {
        {"FirstStart", false, false, false, false, false, false, "enabled automatically"},
        {"LaterTrusted", true, true, true, false, true, false, "already enabled"},
        {"LaterUntrusted", true, false, true, false, false, true, "already enabled"},
        {"LoginTurnedOff", true, true, false, false, true, false, "enabled automatically"},
        {"LoginRefused", true, true, false, true, true, false, "could not be enabled automatically"},
    };
    for (const StartCase& row : cases) {
        SCOPED_TRACE(row.name);
        FakePlatform platform;
        SettingsStore::setStandard(store = std::make_shared<InMemorySettingsStore>());
        store->setBool(Constants::enableDebugMode, true);
        store->setBool(Constants::hasLaunchedBefore, row.launchedBefore);
        if (row.launchedBefore)
            store->setBool(Constants::launchAtLogin, row.loginEnabled);
        platform.trust->setTrusted(row.trusted);
        platform.loginItems->setStatus(row.loginEnabled ? LoginItemStatus::enabled
                                                        : LoginItemStatus::notRegistered);
        if (row.loginFails)
            platform.loginItems->failNextCalls(Error{QStringLiteral("Test"), 2, QStringLiteral("disk full")});
        platform.alerts->answerWith(AlertResponse::secondButton);
        QStringList tracedWhileAlertUp;
        platform.alerts->whileShowing([&](const Alert&) { tracedWhileAlertUp = traced(); });
        output.clear();
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

// The reason in the alert: in the user's language where the desktop's
// backend gives a key of the tables, else in the desktop's English words.
TEST_F(AppDelegateTest, TheAlertGivesTheReasonInTheUsersLanguageWhereItCan) {
    const struct {
        const char* language;
        AccessibilityTrust::LocalizableReason localizable;
        QString expected;
    } cases[] = {
        {"en", {}, "Reason given by the system: scripted"},
        {"en",
         {"gnome_extension_refused", {"51.0", "43, 44", "51"}},
         "GNOME Shell 51.0 runs none of Velmora's "
         "GNOME Shell extensions, which are made for GNOME 43, 44. Install a Velmora release made for GNOME "
         "51"},
        {"ja",
         {"gnome_extension_refused", {"51.0", "43, 44", "51"}},
         "GNOME Shell 51.0 は、Velmora の GNOME "
         "Shell 拡張機能（GNOME 43, 44 向け）をどれも実行しません。GNOME 51 向けの"},
    };
    for (const auto& row : cases) {
        LocalizationManager::shared().setCurrentLanguage(QString::fromLatin1(row.language));
        fakes.trust->localizable = row.localizable;
        fakes.trust->isProcessTrusted(); // the answer the reason goes with
        fakes.alerts->answerWith(AlertResponse::secondButton);
        make().showAccessibilityAlert();
        ASSERT_FALSE(fakes.alerts->shown().isEmpty());
        EXPECT_TRUE(fakes.alerts->shown().last().informativeText.contains(row.expected))
            << fakes.alerts->shown().last().informativeText.toStdString();
    }
}

// The one trace of the permission flow, from the first start without trust.
TEST_F(AppDelegateTest, FirstRequestWithoutTrustExplainsOpensSettingsAndPolls) {
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
    EXPECT_EQ(fakes.machine->openedUrls.size(), 1) << "the first button opens the settings";
    EXPECT_NE(app.permissions.permissionCheckTimer, nullptr);

    // Asked again, later: no second request, and "Later" opens nothing.
    output.clear();
    fakes.alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    EXPECT_TRUE(events().isEmpty());
    EXPECT_EQ(fakes.machine->openedUrls.size(), 1);
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

TEST_F(AppDelegateTest, GrantFoundByAPollAfterShutdownBeganChangesNothing) {
    AppDelegate& app = make();
    fakes.alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    fakes.trust->whenAsked = [&] { fakes.trust->setTrusted(true), app.isShuttingDown = true; };
    ASSERT_TRUE(test::waitUntil([&] { return app.isShuttingDown; }));
    drainQueued(); // the granted step the poll queued
    EXPECT_EQ(app.engine.eventTap, nullptr);
    EXPECT_FALSE(traced().contains(QStringLiteral("Permission checking stopped")));
}

// A real alert, answered by a person, while the poll finds the grant and an
// automatic update check gets its reply: both take effect under the open
// alert, and Escape still answers Later.
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
    QTimer::singleShot(15000, [] { QApplication::activeModalWidget()->close(); }); // a bound on waiting
    app.showAccessibilityAlert();
    EXPECT_TRUE(seenWhileOpen);
    EXPECT_TRUE(fakes.machine->openedUrls.isEmpty());
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(fakes.taps->createdCount(), 2) << "the temporary tap and the one the poll created";
}

} // namespace
