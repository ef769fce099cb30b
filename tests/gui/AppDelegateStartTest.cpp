#include "gui/AppDelegateFixture.h"

#include "platform/qt/QtAlertPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

using namespace velmora;

namespace {

struct StartCase {
    const char* name;
    bool launchedBefore, trusted;
    LoginItemStatus login;
    bool loginFails, tap, alert; // what start-up leaves: a tap, or an alert and polling
    const char* autoLaunch;
};

const StartCase startCases[] = {
    {"FirstStart", false, false, LoginItemStatus::notRegistered, false, false, false,
     "enabled automatically"},
    {"FirstStartTrusted", false, true, LoginItemStatus::notRegistered, false, false, false,
     "enabled automatically"},
    {"LaterTrusted", true, true, LoginItemStatus::enabled, false, true, false, "already enabled"},
    {"LaterUntrusted", true, false, LoginItemStatus::enabled, false, false, true, "already enabled"},
    {"LoginTurnedOff", true, true, LoginItemStatus::notRegistered, false, true, false,
     "enabled automatically"},
    {"LoginRefused", true, true, LoginItemStatus::notRegistered, true, true, false,
     "could not be enabled automatically"},
};

TEST_F(AppDelegateTest, StartUpVariants) {
    for (const StartCase& row : startCases) {
        SCOPED_TRACE(row.name);
        FakePlatform platform;
        store = std::make_shared<InMemorySettingsStore>();
        SettingsStore::setStandard(store);
        store->setBool(Constants::enableDebugMode, true);
        store->setBool(Constants::enableUsageStats, true);
        store->setBool(Constants::hasLaunchedBefore, row.launchedBefore);
        if (row.launchedBefore)
            store->setBool(Constants::launchAtLogin, row.login == LoginItemStatus::enabled);
        platform.trust->setTrusted(row.trusted, QStringLiteral("scripted"));
        platform.loginItems->setStatus(row.login);
        if (row.loginFails)
            platform.loginItems->failNextCalls(Error{QStringLiteral("Test"), 2, QStringLiteral("disk full")});
        platform.alerts->answerWith(AlertResponse::secondButton);
        QStringList tracedWhileAlertUp{QStringLiteral("none")};
        platform.alerts->whileShowing([&](const Alert&) { tracedWhileAlertUp = traced(); });
        output.clear();
        AppDelegate& app = make();
        app.applicationDidFinishLaunching();
        EXPECT_TRUE(store->boolForKey(Constants::hasLaunchedBefore));
        EXPECT_EQ(app.engine.eventTap != nullptr, row.tap);
        EXPECT_EQ(app.permissions.permissionCheckTimer != nullptr, row.alert);
        EXPECT_EQ(platform.alerts->shown().size(), row.alert ? 1 : 0);
        EXPECT_EQ(app.onboardingWindow && app.onboardingWindow->isVisible(), !row.launchedBefore);
        EXPECT_FALSE(app.onboardingWindow && app.onboardingWindow->windowTitle().contains('\n'));
        EXPECT_EQ(store->boolForKey(Constants::launchAtLogin), !row.loginFails);
        EXPECT_TRUE(traced().contains(QStringLiteral("Auto launch ") + row.autoLaunch));
        EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Auto launch error: ")).size(),
                  row.loginFails ? 1 : 0);
        // Start-up finishes only once the alert is answered.
        EXPECT_FALSE(tracedWhileAlertUp.contains(QStringLiteral("Application finished launching")));
        EXPECT_TRUE(traced().contains(QStringLiteral("Application finished launching")));
        EXPECT_EQ(events().count(QStringLiteral("app_launched")), 1);
        EXPECT_EQ(output.linesStartingWith(QStringLiteral("🔧 === SYSTEM INFO ===")).size(), 1);
        delegate.reset();
    }
}

// The one trace of the permission flow, from the first start without trust.
TEST_F(AppDelegateTest, FirstRequestWithoutTrustExplainsOpensSettingsAndPolls) {
    AppDelegate& app = make();
    app.startKeyboardMonitoring();
    const auto temporary = fakes.taps->latest();
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->userInfo, nullptr);
    EXPECT_TRUE(test::waitUntil([&] { return !temporary->enabled; })) << "the temporary tap is switched off";
    EXPECT_TRUE(store->boolForKey(Constants::hasShownPermissionRequest));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("🔐")),
              (QStringList{"🔐 Accessibility Permission: ❌ Denied",
                           "🔐 Accessibility permissions requested, trusted: false",
                           "🔐 Accessibility Permission: ❌ Denied"}));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌")),
              QStringList{"❌ The keyboard cannot be observed: scripted"});
    EXPECT_EQ(events(), QStringList{"accessibility_permission_granted"});
    ASSERT_EQ(fakes.alerts->shown().size(), 1);
    const Alert& alert = fakes.alerts->shown().first();
    EXPECT_EQ(alert.informativeText, tr(LocalizationKeys::accessibilityPermissionsMessage) + "\n\n" +
                                         tr(LocalizationKeys::accessibilityMissingReason).arg("scripted"));
    EXPECT_EQ(alert.buttons, (QStringList{tr(LocalizationKeys::openSettings), tr(LocalizationKeys::later)}));
    EXPECT_EQ(fakes.machine->openedUrls.size(), 1) << "the first button opens the settings";
    EXPECT_NE(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_EQ(app.engine.eventTap, nullptr);

    // Asked again, later: no second request, and "Later" opens nothing.
    output.clear();
    fakes.alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    EXPECT_TRUE(events().isEmpty());
    EXPECT_EQ(fakes.machine->openedUrls.size(), 1);
}

TEST_F(AppDelegateTest, TrustGrantedByTheRequestItselfNeedsNoAlert) {
    fakes.trust->whenAsked = [&] {
        if (fakes.trust->checkCount() == 2)
            fakes.trust->setTrusted(true);
    };
    AppDelegate& app = make();
    app.startKeyboardMonitoring();
    EXPECT_NE(app.engine.eventTap, nullptr);
    EXPECT_TRUE(fakes.alerts->shown().isEmpty());
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
}

TEST_F(AppDelegateTest, GrantWhoseTapCannotBeCreatedSaysSoAndStopsPolling) {
    fakes.alerts->whileShowing([&](const Alert&) {
        fakes.trust->setTrusted(true);
        fakes.taps->setRefuseCreation(true);
    });
    AppDelegate& app = make();
    app.startKeyboardMonitoring();
    EXPECT_TRUE(test::waitUntil([&] { return app.permissions.permissionCheckTimer == nullptr; }));
    EXPECT_EQ(app.engine.eventTap, nullptr);
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Keyboard access was granted")).size(), 1);
}

TEST_F(AppDelegateTest, GrantFoundByAPollAfterShutdownBeganChangesNothing) {
    AppDelegate& app = make();
    fakes.alerts->answerWith(AlertResponse::secondButton);
    app.startKeyboardMonitoring();
    const int asked = fakes.trust->checkCount();
    fakes.trust->whenAsked = [&] {
        fakes.trust->setTrusted(true);
        app.isShuttingDown = true;
    };
    ASSERT_TRUE(test::waitUntil([&] { return fakes.trust->checkCount() > asked; }));
    // The granted step was queued by the poll; this call comes after it.
    bool after = false;
    QMetaObject::invokeMethod(
        qApp, [&] { after = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(test::waitUntil([&] { return after; }));
    EXPECT_EQ(app.engine.eventTap, nullptr);
    EXPECT_FALSE(traced().contains(QStringLiteral("Permission checking stopped")));
    EXPECT_TRUE(output.linesStartingWith(QStringLiteral("❌ Keyboard access")).isEmpty());
}

TEST_F(AppDelegateTest, RefusedTemporaryTapIsReportedAndTheFlowGoesOn) {
    fakes.taps->setRefuseCreation(true);
    make().startKeyboardMonitoring();
    EXPECT_TRUE(traced().contains(QStringLiteral("Failed to create temporary event tap")));
    EXPECT_EQ(fakes.alerts->shown().size(), 1);
}

// A real alert, answered by a person, while the poll finds the grant and an
// automatic update check gets its reply: both take effect at once, under the
// open alert, and the answer still counts.
TEST_F(AppDelegateTest, PollAndNetworkReplyWhileARealAlertIsOpen) {
    serveUpdate();
    store->setBool(Constants::hasLaunchedBefore, true);
    fakes.alerts->answerWith(AlertResponse::secondButton);
    AppDelegate& app = make();
    app.applicationDidFinishLaunching(); // the alert answered "Later": polling
    ASSERT_NE(app.permissions.permissionCheckTimer, nullptr);
    updates->checkForUpdates(true); // unless the start-up check runs already
    fakes.install(std::make_shared<QtAlertPresenter>());
    fakes.trust->setTrusted(true);
    bool seenWhileOpen = false;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !app.engine.eventTap ||
            !menuRows().contains(tr(LocalizationKeys::updateAvailableTitle) + " (9.9.9)"))
            return;
        seenWhileOpen = true;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &escape);
    });
    person.start(20);
    QTimer giveUp; // a bound on waiting: the alert closes even if nothing happens
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QApplication::activeModalWidget()->close(); });
    giveUp.start(15000);
    app.showAccessibilityAlert();
    EXPECT_TRUE(seenWhileOpen);
    EXPECT_TRUE(fakes.machine->openedUrls.isEmpty()) << "Escape answers Later";
    EXPECT_EQ(app.permissions.permissionCheckTimer, nullptr);
    EXPECT_TRUE(traced().contains(
        QStringLiteral("Accessibility permissions granted - keyboard monitoring activated")));
    EXPECT_EQ(fakes.taps->createdCount(), 2) << "the temporary tap and the one the poll created";
    EXPECT_EQ(server.requestCount("/version.json"), 1);
}

} // namespace
