#include "app/AppDelegate.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"
#include "platform/Platform.h"
#include "platform/qt/QtAlertPresenter.h"
#include "fakes/FakeKeyboardEventTap.h"
#include "fakes/FakeLoginItemService.h"
#include "fakes/FakeMachine.h"
#include "fakes/FakeTextInputSources.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "support/CapturedOutput.h"
#include "support/LocalHttpServer.h"
#include "support/WaitUntil.h"
#include "ui/OnboardingView.h"
#include "updates/UpdateManager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Trust that can change its answer, or run something, at the moment it is asked.
class ScriptedTrust final : public AccessibilityTrust {
public:
    bool trusted = false;
    int asked = 0;
    std::function<void()> whenAsked;
    bool isProcessTrusted() override {
        ++asked;
        if (whenAsked)
            whenAsked();
        return trusted;
    }
    QString untrustedReason() const override { return trusted ? QString() : QStringLiteral("scripted"); }
};

class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        store->setBool(Constants::enableDebugMode, true);
        store->setBool(Constants::enableUsageStats, true);
        store->setString(Constants::appLanguage, QStringLiteral("en"));
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        sources->setSources({{QStringLiteral("ru"), QStringLiteral("Russian")},
                             {QStringLiteral("us"), QStringLiteral("English (US)")}});
        sources->setCurrentIndex(0);
        installPlatform(alerts);
        output.clear();
    }
    void installPlatform(std::shared_ptr<AlertPresenter> presenter) {
        Platform platform;
        platform.inputSources = sources;
        platform.eventTaps = taps;
        platform.accessibility = trust;
        platform.loginItems = loginItems;
        platform.reachability = machine;
        platform.systemInformation = machine;
        platform.workspace = machine;
        platform.alerts = std::move(presenter);
        Platform::install(platform);
    }
    // Serves a feed offering 9.9.9 and a package that arrives in pieces.
    void serveUpdate(test::LocalHttpServer& server) {
        ASSERT_TRUE(server.start());
        server.answer("/version.json",
                      {.body = QByteArray(R"({"name":"Velmora 9","version":"9.9.9","url":")") +
                               server.url(QStringLiteral("/Velmora.deb")).toEncoded() + "\"}"});
        server.answer("/Velmora.deb", {.contentType = "application/octet-stream",
                                       .body = QByteArray(64 * 1024, 'x'),
                                       .chunkSize = 8 * 1024,
                                       .chunkIntervalMs = 60});
        makeUpdates(server.url(QStringLiteral("/version.json")).toString());
    }
    void TearDown() override {
        delegate.reset();
        Platform::install({});
        SettingsStore::setStandard(nullptr);
    }
    AppDelegate& make() {
        delegate = std::make_unique<AppDelegate>(*updates);
        return *delegate;
    }
    // An update manager that only ever talks to this test's own server.
    void makeUpdates(const QString& feedAddress) {
        delegate.reset();
        UpdateManager::Dependencies dependencies = UpdateManager::Dependencies::system();
        dependencies.feedAddress = feedAddress;
        dependencies.bundleVersion = [] { return QStringLiteral("1.0.0"); };
        dependencies.downloadFolder = [this] { return downloads.path(); };
        updates = std::make_unique<UpdateManager>(dependencies);
    }
    // Titles of the tray menu as shown ("&&" shows as "&"), "—" for a separator.
    QStringList menuRows() const {
        QStringList rows;
        for (const QAction* action : delegate->statusItem->contextMenu()->actions())
            rows.append(action->isSeparator()
                            ? QStringLiteral("—")
                            : action->text().replace(QStringLiteral("&&"), QStringLiteral("&")));
        return rows;
    }
    static QString tr(const QString& key) { return LocalizationManager::shared().localizedString(key); }
    // Trace messages without their time and place: "Function(): message" → "message".
    QStringList traced() const {
        QStringList messages;
        for (const QString& line : output.linesStartingWith(QStringLiteral("🐛")))
            messages.append(line.section(QStringLiteral("(): "), 1));
        return messages;
    }
    QStringList events() const {
        QStringList names;
        for (const QString& line : output.linesStartingWith(QStringLiteral("📊")))
            names.append(line.section(QStringLiteral("Analytics: "), 1));
        return names;
    }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::shared_ptr<FakeTextInputSources> sources = std::make_shared<FakeTextInputSources>();
    std::shared_ptr<FakeKeyboardEventTapFactory> taps = std::make_shared<FakeKeyboardEventTapFactory>();
    std::shared_ptr<ScriptedTrust> trust = std::make_shared<ScriptedTrust>();
    std::shared_ptr<FakeLoginItemService> loginItems = std::make_shared<FakeLoginItemService>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    test::CapturedOutput output;
    QTemporaryDir downloads;
    std::unique_ptr<UpdateManager> updates = [] {
        UpdateManager::Dependencies dependencies = UpdateManager::Dependencies::system();
        dependencies.feedAddress = QStringLiteral("http://127.0.0.1:9/version.json");
        return std::make_unique<UpdateManager>(dependencies);
    }();
    std::unique_ptr<AppDelegate> delegate;
};

// Keyboard monitoring and the permission it needs.

TEST_F(AppDelegateTest, TrustedAtOnceCreatesTheTapAndNothingElse) {
    trust->trusted = true;
    AppDelegate& app = make();
    app.startKeyboardMonitoring();
    EXPECT_NE(app.engine.eventTap, nullptr);
    EXPECT_EQ(taps->createdCount(), 1);
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_FALSE(store->hasObject(Constants::hasShownPermissionRequest));
}

TEST_F(AppDelegateTest, FirstRunWithoutTrustReportsTheRequestShowsTheAlertAndPolls) {
    AppDelegate& app = make();
    alerts->answerWith(AlertResponse::firstButton);
    app.startKeyboardMonitoring();

    // The temporary tap is enabled and switched off again shortly after.
    ASSERT_EQ(taps->createdCount(), 1);
    const auto temporary = taps->latest();
    EXPECT_EQ(temporary->userInfo, nullptr);
    EXPECT_TRUE(temporary->enabled);
    EXPECT_TRUE(test::waitUntil([&] { return !temporary->enabled; }));

    EXPECT_TRUE(store->boolForKey(Constants::hasShownPermissionRequest));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("🔐 Accessibility permissions requested")),
              QStringList{"🔐 Accessibility permissions requested, trusted: false"});
    EXPECT_EQ(events(), QStringList{"accessibility_permission_granted"});

    ASSERT_EQ(alerts->shown().size(), 1);
    const Alert& alert = alerts->shown().first();
    const LocalizationManager& l10n = LocalizationManager::shared();
    EXPECT_EQ(alert.messageText, l10n.localizedString(LocalizationKeys::accessibilityPermissionsTitle));
    EXPECT_EQ(alert.informativeText, l10n.localizedString(LocalizationKeys::accessibilityPermissionsMessage) +
                                         QStringLiteral("\n\n") +
                                         l10n.localizedString(LocalizationKeys::accessibilityMissingReason)
                                             .arg("scripted"));
    // Why, printed once although trust was asked twice.
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌")),
              QStringList{"❌ The keyboard cannot be observed: scripted"});
    EXPECT_EQ(alert.buttons, (QStringList{l10n.localizedString(LocalizationKeys::openSettings),
                                          l10n.localizedString(LocalizationKeys::later)}));
    EXPECT_NE(alert.messageText, LocalizationKeys::accessibilityPermissionsTitle);
    EXPECT_EQ(machine->openedUrls.size(), 1);
    ASSERT_NE(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(app.permissions.permissionCheckTimer->interval(), 2000);
    EXPECT_EQ(app.engine.eventTap, nullptr);
}

TEST_F(AppDelegateTest, BothPermissionAlertsGiveTheReasonInEveryLanguage) {
    AppDelegate& app = make();
    OnboardingView onboarding({{}, {}, &app.permissions});
    alerts->answerWith(AlertResponse::secondButton);
    for (const SupportedLanguage& language : SupportedLanguage::allCases()) {
        if (language.rawValue() == QLatin1String("system"))
            continue;
        LocalizationManager::shared().setCurrentLanguage(language.rawValue());
        const QString sentence = tr(LocalizationKeys::accessibilityMissingReason);
        SCOPED_TRACE(sentence.toStdString());
        EXPECT_TRUE(sentence.contains(QStringLiteral("%1")));
        app.showAccessibilityAlert();
        onboarding.completeOnboarding();
        const QList<Alert> both = alerts->shown().mid(alerts->shown().size() - 2);
        ASSERT_EQ(both.size(), 2);
        for (const Alert& alert : both)
            EXPECT_TRUE(alert.informativeText.endsWith(sentence.arg("scripted")));
    }
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
}

TEST_F(AppDelegateTest, PromptShownBeforeMeansAlertOnlyAndLaterOpensNothing) {
    store->setBool(Constants::hasShownPermissionRequest, true);
    AppDelegate& app = make();
    alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    EXPECT_TRUE(output.linesStartingWith(QStringLiteral("🔐 Accessibility permissions requested")).isEmpty());
    EXPECT_TRUE(events().isEmpty());
    EXPECT_EQ(taps->createdCount(), 1); // the temporary tap
    EXPECT_EQ(alerts->shown().size(), 1);
    EXPECT_TRUE(machine->openedUrls.isEmpty());
    EXPECT_NE(app.permissions.permissionCheckTimer, nullptr);
}

TEST_F(AppDelegateTest, TrustGrantedWhileTheAlertIsUpIsPickedUpByPolling) {
    AppDelegate& app = make();
    alerts->whileShowing([&](const Alert&) { trust->trusted = true; });
    alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    ASSERT_NE(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(app.engine.eventTap, nullptr);
    EXPECT_TRUE(test::waitUntil([&] { return app.engine.eventTap != nullptr; }));
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_TRUE(traced().contains(QStringLiteral("Accessibility permissions granted - keyboard monitoring activated")));
}

TEST_F(AppDelegateTest, GrantWhoseTapCannotBeCreatedSaysSoAndStopsPolling) {
    AppDelegate& app = make();
    alerts->whileShowing([&](const Alert&) {
        trust->trusted = true;
        taps->setRefuseCreation(true);
    });
    alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    ASSERT_NE(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_TRUE(test::waitUntil([&] { return app.permissions.permissionCheckTimer == nullptr; }));
    EXPECT_EQ(app.engine.eventTap, nullptr);
    EXPECT_FALSE(traced().contains(QStringLiteral("Accessibility permissions granted - keyboard monitoring activated")));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Keyboard access was granted")).size(), 1);
}

TEST_F(AppDelegateTest, GrantFoundByAPollIsIgnoredOnceShutdownBegan) {
    AppDelegate& app = make();
    alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    ASSERT_NE(app.permissions.permissionCheckTimer, nullptr);
    // The poll finds the permission, queues the granted step, and the
    // application starts shutting down before that step runs.
    trust->whenAsked = [&] {
        trust->trusted = true;
        trust->whenAsked = nullptr;
        QTimer::singleShot(0, [&] { app.cleanup(); });
    };
    EXPECT_TRUE(test::waitUntil([&] { return app.isShuttingDown; }));
    test::settle(300);
    EXPECT_EQ(app.engine.eventTap, nullptr);
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(taps->createdCount(), 1);
}

TEST_F(AppDelegateTest, RefusedTemporaryTapIsReportedAndTheFlowGoesOn) {
    taps->setRefuseCreation(true);
    AppDelegate& app = make();
    app.startKeyboardMonitoring();
    EXPECT_TRUE(traced().contains(QStringLiteral("Failed to create temporary event tap")));
    EXPECT_EQ(alerts->shown().size(), 1);
}

// Start-up.

TEST_F(AppDelegateTest, FirstStartCreatesNoTapButRegistersTheLoginItem) {
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    EXPECT_TRUE(store->boolForKey(Constants::hasLaunchedBefore));
    EXPECT_EQ(taps->createdCount(), 0);
    EXPECT_EQ(loginItems->registerCalls(), 1);
    EXPECT_TRUE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_TRUE(events().contains(QStringLiteral("app_launched")));
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_EQ(output.lines().first(), QStringLiteral("📋 Default settings configured"));
}

TEST_F(AppDelegateTest, LaterStartWithTrustHasTheTapWhenStartUpReturns) {
    store->setBool(Constants::hasLaunchedBefore, true);
    loginItems->setStatus(LoginItemStatus::enabled);
    trust->trusted = true;
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    EXPECT_NE(app.engine.eventTap, nullptr);
    EXPECT_EQ(loginItems->registerCalls(), 0);
    EXPECT_TRUE(traced().contains(QStringLiteral("Auto launch already enabled")));
    EXPECT_EQ(app.activationPolicy(), AppDelegate::activationPolicyAccessory);
}

TEST_F(AppDelegateTest, LaterStartWithoutTrustFinishesStartUpOnlyAfterTheAlert) {
    store->setBool(Constants::hasLaunchedBefore, true);
    QStringList seenWhileAlertUp;
    alerts->whileShowing([&](const Alert&) { seenWhileAlertUp = traced(); });
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    ASSERT_EQ(alerts->shown().size(), 1);
    EXPECT_FALSE(seenWhileAlertUp.contains(QStringLiteral("Application finished launching")));
    EXPECT_TRUE(traced().contains(QStringLiteral("Application finished launching")));
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount(Constants::languageDidChangeNotification), 1);
    EXPECT_NE(app.permissions.permissionCheckTimer, nullptr);
}

TEST_F(AppDelegateTest, LoginItemTurnedOffEarlierIsRegisteredAgainAtStart) {
    store->setBool(Constants::hasLaunchedBefore, true);
    store->setBool(Constants::launchAtLogin, false);
    trust->trusted = true;
    make().applicationDidFinishLaunching();
    EXPECT_EQ(loginItems->registerCalls(), 1);
    EXPECT_TRUE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_TRUE(traced().contains(QStringLiteral("Auto launch enabled automatically")));
}

TEST_F(AppDelegateTest, FailedLoginRegistrationIsReportedAndStartUpGoesOn) {
    store->setBool(Constants::hasLaunchedBefore, true);
    store->setBool(Constants::launchAtLogin, false);
    trust->trusted = true;
    loginItems->failNextCalls(Error{QStringLiteral("VelmoraLoginItem"), 2, QStringLiteral("disk full")});
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    EXPECT_FALSE(store->boolForKey(Constants::launchAtLogin));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Auto launch error: ")).size(), 1);
    EXPECT_FALSE(traced().contains(QStringLiteral("Auto launch enabled automatically")));
    EXPECT_TRUE(traced().contains(QStringLiteral("Auto launch could not be enabled automatically")));
    EXPECT_NE(app.engine.eventTap, nullptr);
}

TEST_F(AppDelegateTest, DebugStartPrintsTheSystemInformationBlock) {
    store->setBool(Constants::hasLaunchedBefore, true);
    trust->trusted = true;
    make().applicationDidFinishLaunching();
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("🔧 === SYSTEM INFO ===")).size(), 1);
    store->setBool(Constants::enableDebugMode, false);
    output.clear();
    delegate.reset();
    make().applicationDidFinishLaunching();
    EXPECT_TRUE(output.linesStartingWith(QStringLiteral("🔧")).isEmpty());
}

// The tray icon.

TEST_F(AppDelegateTest, MissingTrayHostIsReportedOnceAndHiddenIconDropsTheItem) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    AppDelegate& app = make();
    configureDefaultSettings();
    app.setupStatusBar();
    app.setupStatusBar();
    const QStringList missingTray = output.linesStartingWith(QStringLiteral("⚠️ No system tray"));
    ASSERT_EQ(missingTray.size(), 1);
    EXPECT_TRUE(missingTray.first().contains(QStringLiteral("launch Velmora again")));
    ASSERT_NE(app.statusItem, nullptr);
    EXPECT_EQ(app.statusItem->toolTip(), QStringLiteral("Velmora - Keyboard Layout Switcher"));
    ASSERT_NE(app.statusItem->contextMenu(), nullptr);
    const auto actions = app.statusItem->contextMenu()->actions();
    ASSERT_FALSE(actions.isEmpty());
    EXPECT_EQ(actions.last()->text(), LocalizationManager::shared().localizedString(LocalizationKeys::menuQuit));
    EXPECT_EQ(actions.last()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    store->setBool(Constants::showMenuBarIcon, false);
    app.updateMenuBarIconVisibility();
    EXPECT_EQ(app.statusItem, nullptr);
    EXPECT_EQ(app.activationPolicy(), AppDelegate::activationPolicyRegular);
}

TEST_F(AppDelegateTest, MenuIconIsAWhiteMaskOfTheRightSize) {
    const QIcon icon = make().makeMenuBarIcon();
    EXPECT_TRUE(icon.isMask());
    const QImage image = icon.pixmap(QSize(22, 16), 2.0).toImage();
    ASSERT_FALSE(image.isNull());
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0)
                continue;
            ++opaque;
            EXPECT_EQ(pixel.red(), 255);
            EXPECT_EQ(pixel.blue(), 255);
        }
    EXPECT_GT(opaque, 40);
}

TEST_F(AppDelegateTest, MenuIconIsSharpAtItsOwnSize) {
    // Drawn off the pixel grid, the keys would blur into half-covered grey.
    const QImage image = make().makeMenuBarIcon().pixmap(QSize(22, 16), 1.0).toImage();
    ASSERT_EQ(image.size(), QSize(22, 16));
    int opaque = 0;
    int partial = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = image.pixelColor(x, y).alpha();
            opaque += alpha == 255;
            partial += alpha > 0 && alpha < 255;
        }
    EXPECT_GT(opaque, 60);
    // Only the four rounded corners are drawn with partial cover.
    EXPECT_LE(partial, 24);
}

TEST_F(AppDelegateTest, MenuTitlesShowAmpersandsAsText) {
    store->setBool(Constants::showMenuBarIcon, true);
    AppDelegate& app = make();
    app.setupStatusBar();
    ASSERT_NE(app.statusItem, nullptr);
    const QString support = tr(LocalizationKeys::menuHelpSupport);
    ASSERT_TRUE(support.contains(QLatin1Char('&'))) << "the check needs a title with an ampersand";
    // Doubled, a menu shows one "&" and makes no mnemonic of the next letter.
    EXPECT_EQ(app.statusItem->contextMenu()->actions().at(2)->text(),
              QString(support).replace(QStringLiteral("&"), QStringLiteral("&&")));
}

// Reopen and shutdown.

TEST_F(AppDelegateTest, ReopenOpensPreferencesOnlyWithTheIconUnseenAndNoWindow) {
    AppDelegate& app = make();
    app.trayAvailable = [] { return true; };
    store->setBool(Constants::showMenuBarIcon, true);
    EXPECT_TRUE(app.applicationShouldHandleReopen(false));
    store->setBool(Constants::showMenuBarIcon, false);
    EXPECT_TRUE(app.applicationShouldHandleReopen(true));
    EXPECT_TRUE(events().isEmpty());
    EXPECT_TRUE(app.applicationShouldHandleReopen(false));
    EXPECT_EQ(events(), QStringList{"preferences_opened"});

    // A shown icon without a tray host (as on this desktop) is as good as hidden.
    app.trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    store->setBool(Constants::showMenuBarIcon, true);
    EXPECT_TRUE(app.applicationShouldHandleReopen(false));
    EXPECT_EQ(events(), (QStringList{"preferences_opened", "preferences_opened"}));
}

TEST_F(AppDelegateTest, CleanupTearsDownOnceAndLaterRunsOnlyLogTheirSteps) {
    store->setBool(Constants::hasLaunchedBefore, true);
    AppDelegate& app = make();
    alerts->whileShowing([&](const Alert&) { trust->trusted = true; });
    app.applicationDidFinishLaunching();
    ASSERT_TRUE(test::waitUntil([&] { return app.engine.eventTap != nullptr; }));
    const auto tap = taps->latest();
    alerts->answerWith(AlertResponse::secondButton);
    // A permission poll is still running when the user quits? Start one.
    app.startPermissionChecking();
    output.clear();

    app.cleanup();
    EXPECT_TRUE(tap->invalidated);
    EXPECT_FALSE(tap->enabled);
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(traced(), (QStringList{"Starting cleanup process", "Permission checking stopped",
                                     "Event tap disabled and invalidated", "Closing all windows",
                                     "Cleanup completed"}));
    output.clear();
    app.cleanup();
    EXPECT_EQ(traced(), (QStringList{"Starting cleanup process", "Permission checking stopped", "Closing all windows",
                                     "Cleanup completed"}));
}

TEST_F(AppDelegateTest, NothingHappensAfterCleanup) {
    store->setBool(Constants::hasLaunchedBefore, true);
    trust->trusted = true;
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    app.cleanup();
    output.clear();
    NotificationCenter::defaultCenter().post(Constants::languageDidChangeNotification);
    app.languageDidChange();
    app.menuBarIconSettingChanged();
    app.updateAvailable({});
    app.startKeyboardMonitoring();
    app.startPermissionChecking();
    app.setupStatusBar();
    app.showPreferences();
    test::settle(100);
    EXPECT_TRUE(output.lines().isEmpty()) << output.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(taps->createdCount(), 1);
}

TEST_F(AppDelegateTest, TerminationNotificationRunsCleanupWhileTheTapExists) {
    store->setBool(Constants::hasLaunchedBefore, true);
    trust->trusted = true;
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    NotificationCenter::defaultCenter().post(Constants::applicationWillTerminateNotification);
    EXPECT_TRUE(app.isShuttingDown);
    EXPECT_TRUE(taps->latest()->invalidated);
}

// The tray menu and the windows.

TEST_F(AppDelegateTest, DefaultMenuHoldsPreferencesSupportCheckAndQuit) {
    store->setBool(Constants::enableDebugMode, false);
    configureDefaultSettings();
    make().setupStatusBar();
    EXPECT_EQ(menuRows(), (QStringList{tr(LocalizationKeys::menuPreferences), "—", tr(LocalizationKeys::menuHelpSupport),
                                       tr(LocalizationKeys::menuCheckUpdates), "—", tr(LocalizationKeys::menuQuit)}));
    EXPECT_EQ(delegate->statusItem->contextMenu()->actions().first()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));

    // Debug mode adds its row at the next rebuild, and a language change
    // rebuilds; a menu that is open keeps its rows until it closes.
    QMenu* open = delegate->statusItem->contextMenu();
    open->popup(QPoint(0, 0));
    ASSERT_TRUE(test::waitUntil([&] { return open->isVisible(); }));
    store->setBool(Constants::enableDebugMode, true);
    delegate->updateStatusItemIcon();
    EXPECT_EQ(delegate->statusItem->contextMenu(), open);
    EXPECT_EQ(menuRows().size(), 6);
    open->hide();
    EXPECT_TRUE(test::waitUntil([&] { return menuRows().size() == 8; }));
    EXPECT_EQ(menuRows().mid(4, 2), (QStringList{"—", tr(LocalizationKeys::menuDebugInfo)}));
    delegate->applicationDidFinishLaunching();
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("de"));
    EXPECT_TRUE(test::waitUntil([&] { return menuRows().last() == tr(LocalizationKeys::menuQuit); }));
    EXPECT_NE(tr(LocalizationKeys::menuQuit), QStringLiteral("menu_quit"));
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
}

TEST_F(AppDelegateTest, PendingUpdateGetsARowThatFollowsTheDownload) {
    test::LocalHttpServer server;
    serveUpdate(server);
    configureDefaultSettings();
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    alerts->answerWith(AlertResponse::thirdButton); // remind me later
    app.checkForUpdates();
    const QString row = tr(LocalizationKeys::updateAvailableTitle) + QStringLiteral(" (9.9.9)");
    ASSERT_TRUE(test::waitUntil([&] { return menuRows().contains(row); }));
    EXPECT_EQ(menuRows().indexOf(row), 2);
    EXPECT_EQ(menuRows().at(3), QStringLiteral("—"));

    // Choosing the row offers the update again; this time it is downloaded.
    // Progress retitles the row of the same menu, which stays enabled.
    const QMenu* menu = app.statusItem->contextMenu();
    QList<const QMenu*> menusAtTicks;
    QObject::connect(updates.get(), &UpdateManager::downloadProgressChanged,
                     [&] { menusAtTicks.append(app.statusItem->contextMenu()); });
    alerts->answerWith(AlertResponse::firstButton);
    app.showUpdateDialog();
    EXPECT_TRUE(app.statusMenu.updateRow()->isEnabled());
    QStringList progressRows;
    EXPECT_TRUE(test::waitUntil(
        [&] {
            const QString now = menuRows().at(2);
            if (now != row && !progressRows.contains(now))
                progressRows.append(now);
            return !updates->isDownloading() && !progressRows.isEmpty();
        },
        15000));
    ASSERT_FALSE(progressRows.isEmpty());
    EXPECT_TRUE(progressRows.first().contains(QStringLiteral("9.9.9")));
    EXPECT_TRUE(progressRows.last().contains(QStringLiteral("100")) || menuRows().at(2) == row)
        << progressRows.join(QLatin1Char('|')).toStdString();
    EXPECT_GT(menusAtTicks.size(), 1);
    EXPECT_EQ(menusAtTicks.count(menu), menusAtTicks.size());
}

TEST_F(AppDelegateTest, UpdateRowChosenFromTheRealMenuSurvivesTheDownloadItStarts) {
    test::LocalHttpServer server;
    serveUpdate(server);
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    updates->checkForUpdates(true);
    ASSERT_TRUE(test::waitUntil([&] { return updates->updateAvailable().has_value(); }));
    app.updateAvailable({});
    ASSERT_TRUE(test::waitUntil([&] { return menuRows().at(2).contains(QStringLiteral("9.9.9")); }));

    // Real alerts, answered by pressing their first button ("Download", then
    // "OK") while the row's handler waits in the modal loop.
    installPlatform(std::make_shared<QtAlertPresenter>());
    QStringList answered;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answered.append(box->informativeText());
            box->buttons().constFirst()->click();
        }
    });
    answerer.start(20);
    const QPointer<QMenu> menu = app.statusItem->contextMenu();
    int ticks = 0;
    QObject::connect(updates.get(), &UpdateManager::downloadProgressChanged, [&] { ++ticks; });
    menu->actions().at(2)->trigger();
    ASSERT_FALSE(menu.isNull()) << "the menu was deleted under its own row's handler";
    ASSERT_EQ(answered.size(), 1);
    ASSERT_TRUE(updates->isDownloading());

    // Chosen again during the download, the row shows it and starts no other.
    menu->actions().at(2)->trigger();
    ASSERT_EQ(answered.size(), 2);
    EXPECT_TRUE(answered.last().contains(QStringLiteral("9.9.9")));
    EXPECT_TRUE(test::waitUntil([&] { return !updates->isDownloading() && answered.size() == 3; }, 15000));
    EXPECT_GT(ticks, 1);
    EXPECT_EQ(app.statusItem->contextMenu(), menu);
    int packageRequests = 0;
    for (const test::LocalHttpServer::Request& request : server.requests())
        packageRequests += request.path == "/Velmora.deb";
    EXPECT_EQ(packageRequests, 1);
}

TEST_F(AppDelegateTest, HidingTheIconReleasesItsMenu) {
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    const QPointer<QMenu> menu = app.statusItem->contextMenu();
    store->setBool(Constants::showMenuBarIcon, false);
    app.updateMenuBarIconVisibility();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(menu.isNull());
}

TEST_F(AppDelegateTest, PreferencesOpenOnceAndComeBackNewAfterClosing) {
    AppDelegate& app = make();
    app.showPreferences();
    app.showPreferences();
    ASSERT_NE(app.preferencesWindow, nullptr);
    HostWindow* first = app.preferencesWindow;
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), tr(LocalizationKeys::appName));
    EXPECT_EQ(events(), (QStringList{"preferences_opened", "preferences_opened"}));
    EXPECT_EQ(traced().count(QStringLiteral("Preferences window created")), 1);

    first->close();
    EXPECT_EQ(app.preferencesWindow, nullptr);
    EXPECT_TRUE(traced().contains(QStringLiteral("Preferences window closing")));
    app.showPreferences();
    ASSERT_NE(app.preferencesWindow, nullptr);
    EXPECT_EQ(traced().count(QStringLiteral("Preferences window created")), 2);
    EXPECT_EQ(app.preferencesWindow->size(), QSize(600, 360));
}

TEST_F(AppDelegateTest, FirstStartShowsOnboardingWithAOneLineTitle) {
    AppDelegate& app = make();
    app.applicationDidFinishLaunching();
    ASSERT_NE(app.onboardingWindow, nullptr);
    EXPECT_TRUE(app.onboardingWindow->isVisible());
    EXPECT_FALSE(app.onboardingWindow->windowTitle().contains(QLatin1Char('\n')));
    EXPECT_EQ(app.onboardingWindow->size(), QSize(500, 600));
    EXPECT_TRUE(app.hasVisibleWindows());
}

TEST_F(AppDelegateTest, ShutdownClosesWindowsAndKeepsTheFields) {
    AppDelegate& app = make();
    app.showPreferences();
    HostWindow* window = app.preferencesWindow;
    app.cleanup();
    EXPECT_EQ(app.preferencesWindow, window);
    EXPECT_FALSE(window->isVisible());
    output.clear();
    window->close();
    EXPECT_FALSE(traced().contains(QStringLiteral("Preferences window closing")));
    EXPECT_EQ(app.preferencesWindow, window);
}

TEST_F(AppDelegateTest, SupportOpensTheContactPageAndIsRecorded) {
    make().showSupport();
    ASSERT_EQ(machine->openedUrls.size(), 1);
    EXPECT_EQ(machine->openedUrls.first().path(), QStringLiteral("/contact"));
    EXPECT_EQ(events(), QStringList{"support_opened"});
}

} // namespace
