#include "app/AppDelegate.h"

#include "ui/WindowHelper.h"
#include "base/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "switching/SystemUtils.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "platform/x11/X11FocusedApplication.h"
#include "settings/Constants.h"
#include "base/ApplicationIdentity.h"
#include "settings/NotificationCenter.h"
#include "ui/OnboardingView.h"
#include "ui/PreferencesView.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace velmora {

namespace {

constexpr int statusRefreshIntervalMs = 60000;
constexpr int automaticUpdateCheckDelayMs = 2000;

QString localized(const QString& key) { return LocalizationManager::shared().localizedString(key); }

} // namespace

AppDelegate::AppDelegate(UpdateManager& updates)
    : engine(isShuttingDown,
             [this] {
                 // A tap that exists must be torn down when the application ends.
                 NotificationCenter::defaultCenter().addObserver(
                     this, Constants::applicationWillTerminateNotification,
                     [this](const QVariant&) { applicationWillTerminateNotification(); });
                 // The menu loses its "switching is off" row now, not at the next refresh.
                 QMetaObject::invokeMethod(this, &AppDelegate::updateStatusItemIcon, Qt::QueuedConnection);
             }),
      permissions(&engine, &isShuttingDown), updateManager(updates),
      statusMenu({[this] { startKeyboardMonitoring(); }, [this] { showPreferences(); },
                  [this] { showUpdateDialog(); }, [this] { showSupport(); }, [this] { checkForUpdates(); },
                  [this] { showDebugInfo(); }, [this] { quitApp(); }}),
      trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable) {
    // The update row shows the download's progress while it runs.
    connect(&updateManager, &UpdateManager::downloadProgressChanged, this, &AppDelegate::updateStatusItemIcon);
    connect(&updateManager, &UpdateManager::isDownloadingChanged, this, &AppDelegate::updateStatusItemIcon);
    connect(&statusMenu, &StatusMenu::menuReplaced, this, [this](QMenu* menu) {
        if (statusItem)
            statusItem->setContextMenu(menu);
    });
    connect(&statusMenu, &StatusMenu::iconChanged, this, [this] {
        if (statusItem)
            statusItem->setIcon(statusMenu.icon());
    });
}

AppDelegate::~AppDelegate() {
    if (FocusedApplication* focus = Platform::current().focus.get())
        focus->setChangedHandler({});
    cleanup();
    delete preferencesWindow.data();
    delete onboardingWindow.data();
}

void AppDelegate::applicationDidFinishLaunching() {
    configureDefaultSettings();
    setActivationPolicy(SettingsStore::standard().boolForKey(Constants::showMenuBarIcon) ? activationPolicyAccessory
                                                                                        : activationPolicyRegular);
    setupStatusBar();
    followFocus();
    initializeApp();

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, Constants::updateAvailableNotification,
                       [this](const QVariant& version) { updateAvailable(version); });
    center.addObserver(this, Constants::menuBarIconSettingChangedNotification,
                       [this](const QVariant&) { menuBarIconSettingChanged(); });
    center.addObserver(this, Constants::languageDidChangeNotification, [this](const QVariant&) { languageDidChange(); });

    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &AppDelegate::updateStatusItemIcon);
    refresh->start(statusRefreshIntervalMs);

    Logger::trackEvent(QStringLiteral("app_launched"));
    Logger::log(QStringLiteral("Application finished launching"));
    if (SettingsStore::standard().boolForKey(Constants::enableDebugMode))
        SystemUtils::logSystemInfo();
    updateManager.startAutomaticChecks(std::chrono::milliseconds(automaticUpdateCheckDelayMs));
}

void AppDelegate::followFocus() {
    FocusedApplication* focus = Platform::current().focus.get();
    if (focus == nullptr)
        return;
    const auto changed = [this, focus] {
        engine.focusChanged();
        const std::optional<QString> identifier = focus->identifier();
        // Another window of the application in front changes nothing here.
        if (std::exchange(lastInFront_, identifier) == identifier && identifier)
            return;
        if (identifier && !seenInFront_.contains(*identifier, Qt::CaseInsensitive))
            seenInFront_.append(*identifier);
        Logger::log(
            QStringLiteral("Focused application: %1").arg(identifier.value_or(QStringLiteral("none"))));
    };
    focus->setChangedHandler(changed);
    changed();
}

QList<QPair<QString, QString>> AppDelegate::runningApplications() const {
    if (const auto* x11 = dynamic_cast<const X11FocusedApplication*>(Platform::current().focus.get()))
        return x11->openApplications();
    QList<QPair<QString, QString>> seen;
    for (const QString& identifier : seenInFront_)
        seen.append({identifier, QString()});
    return seen;
}

void AppDelegate::initializeApp() {
    Logger::log(QStringLiteral("Initializing app"));
    SettingsStore& store = SettingsStore::standard();
    if (!store.boolForKey(Constants::hasLaunchedBefore)) {
        Logger::log(QStringLiteral("First launch detected - showing onboarding"));
        if (!isShuttingDown) {
            createOnboardingWindow();
            if (onboardingWindow)
                bringToFront(onboardingWindow);
        }
        store.setBool(Constants::hasLaunchedBefore, true);
    } else {
        startKeyboardMonitoring();
    }
    initializeAutoLaunch();
    updateStatusItemIcon();
}

void AppDelegate::initializeAutoLaunch() {
    if (SystemUtils::isAutoLaunchEnabled()) {
        Logger::log(QStringLiteral("Auto launch already enabled"));
        return;
    }
    // Only a registration that took place is reported as done.
    if (SystemUtils::setAutoLaunch(true))
        Logger::log(QStringLiteral("Auto launch enabled automatically"));
    else
        Logger::log(QStringLiteral("Auto launch could not be enabled automatically"));
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    // Without a tray host the icon is nowhere to be seen: as when it is hidden.
    const bool iconReachable =
        SettingsStore::standard().boolForKey(Constants::showMenuBarIcon) && trayAvailable();
    if (!iconReachable && !hasVisibleWindows)
        showPreferences();
    return true;
}

void AppDelegate::applicationWillTerminate() { cleanup(); }

void AppDelegate::applicationWillTerminateNotification() { cleanup(); }

void AppDelegate::quitApp() {
    Logger::log(QStringLiteral("Quit app requested"));
    cleanup();
    QCoreApplication::quit();
}

void AppDelegate::cleanup() {
    isShuttingDown = true;
    Logger::log(QStringLiteral("Starting cleanup process"));
    stopPermissionChecking();
    engine.tearDownEventTap();
    NotificationCenter::defaultCenter().removeObserver(this);
    closeAllWindows();
    Logger::log(QStringLiteral("Cleanup completed"));
}

void AppDelegate::updateAvailable(const QVariant&) {
    if (isShuttingDown)
        return;
    QMetaObject::invokeMethod(this, &AppDelegate::setupStatusBar, Qt::QueuedConnection);
}

void AppDelegate::menuBarIconSettingChanged() {
    if (isShuttingDown)
        return;
    QMetaObject::invokeMethod(this, &AppDelegate::updateMenuBarIconVisibility, Qt::QueuedConnection);
}

void AppDelegate::languageDidChange() {
    if (isShuttingDown)
        return;
    QMetaObject::invokeMethod(this, &AppDelegate::setupStatusBar, Qt::QueuedConnection);
}

void AppDelegate::startKeyboardMonitoring() { permissions.startKeyboardMonitoring(); }

void AppDelegate::createEventTap() { permissions.createEventTap(); }

void AppDelegate::forceAddToAccessibilityList() { permissions.forceAddToAccessibilityList(); }

void AppDelegate::showAccessibilityAlert() { permissions.showAccessibilityAlert(); }

void AppDelegate::startPermissionChecking() { permissions.startPermissionChecking(); }

void AppDelegate::stopPermissionChecking() { permissions.stopPermissionChecking(); }

void AppDelegate::setupStatusBar() {
    if (isShuttingDown)
        return;
    if (!SettingsStore::standard().boolForKey(Constants::showMenuBarIcon)) {
        statusItem.reset();
        statusMenu.release();
        return;
    }
    if (!trayAvailable() && !reportedMissingTray_) {
        reportedMissingTray_ = true;
        ConsoleOutput::writeLine(QStringLiteral("⚠️ No system tray on this desktop: Velmora keeps switching "
                                                "layouts without its icon; launch Velmora again to open its "
                                                "preferences"));
    }
    const StatusMenu::Rows rows = menuRows();
    // Titles change in place; a change of rows brings a new menu through
    // menuReplaced, once no row's handler is running.
    statusMenu.refresh(rows);
    if (!statusItem) {
        statusItem = std::make_unique<QSystemTrayIcon>();
        statusItem->setIcon(makeMenuBarIcon());
    }
    statusItem->setToolTip(rows.switchingOff ? localized(LocalizationKeys::traySwitchingOff)
                                             : QStringLiteral("Velmora - Keyboard Layout Switcher"));
    if (statusItem->contextMenu() != statusMenu.menu())
        statusItem->setContextMenu(statusMenu.menu());
    statusItem->show();
}

StatusMenu::Rows AppDelegate::menuRows() const {
    StatusMenu::Rows rows;
    if (updateManager.updateAvailable())
        rows.updateTitle = updateRowTitle();
    rows.debugInfo = SettingsStore::standard().boolForKey(Constants::enableDebugMode);
    // Asked quietly: the flow prints the trust check and its reason itself.
    AccessibilityTrust* trust = Platform::current().accessibility.get();
    rows.switchingOff = !engine.eventTap && (trust == nullptr || !trust->isProcessTrusted());
    return rows;
}

QString AppDelegate::updateRowTitle() const {
    const QString title = QStringLiteral("%1 (%2)").arg(localized(LocalizationKeys::updateAvailableTitle),
                                                         updateManager.updateAvailable()->version);
    if (!updateManager.isDownloading())
        return title;
    const int percent = qRound(updateManager.downloadProgress() * 100.0);
    return localized(LocalizationKeys::updateDownloading)
        .arg(updateManager.updateAvailable()->version, QString::number(percent));
}

void AppDelegate::updateStatusItemIcon() {
    if (isShuttingDown || !statusItem)
        return;
    setupStatusBar();
}

void AppDelegate::updateMenuBarIconVisibility() {
    if (isShuttingDown)
        return;
    const bool show = SettingsStore::standard().boolForKey(Constants::showMenuBarIcon);
    setActivationPolicy(show ? activationPolicyAccessory : activationPolicyRegular);
    setupStatusBar();
    Logger::log(QStringLiteral("Menu bar icon visibility updated: ") + QLatin1String(show ? "true" : "false"));
}

void AppDelegate::showPreferences() {
    if (isShuttingDown)
        return;
    createPreferencesWindow();
    if (preferencesWindow)
        bringToFront(preferencesWindow);
    Logger::trackEvent(QStringLiteral("preferences_opened"));
}

void AppDelegate::showUpdateDialog() {
    const std::optional<AppVersion> pending = updateManager.updateAvailable();
    if (!pending)
        return;
    if (!updateManager.isDownloading()) {
        updateManager.showUpdateAlert(*pending);
        // A skipped version loses its row.
        updateStatusItemIcon();
        return;
    }
    // One download at a time: the row shows the running one.
    if (AlertPresenter* alerts = Platform::current().alerts.get())
        alerts->runModal({localized(LocalizationKeys::updateAvailableTitle), updateRowTitle(),
                          AlertStyle::informational, {localized(LocalizationKeys::okButton)},
                          AlertResponse::firstButton});
}

void AppDelegate::showSupport() {
    const QString address = ApplicationIdentity::supportPage();
    // The user asked for the page: when nothing opens it, an alert says so
    // and gives the address to open by hand.
    SystemUtils::openURL(address, [self = QPointer<AppDelegate>(this), address] {
        AlertPresenter* alerts = Platform::current().alerts.get();
        if (!self || self->isShuttingDown || alerts == nullptr)
            return;
        alerts->runModal({localized(LocalizationKeys::supportNotOpenedTitle),
                          localized(LocalizationKeys::supportNotOpenedMessage).arg(address),
                          AlertStyle::warning,
                          {localized(LocalizationKeys::okButton)},
                          AlertResponse::firstButton});
    });
    Logger::trackEvent(QStringLiteral("support_opened"));
}

void AppDelegate::checkForUpdates() { updateManager.checkForUpdates(false); }

void AppDelegate::showDebugInfo() {
    Logger::log(QStringLiteral("Debug info requested by user"));
    SystemUtils::logSystemInfo();
    Logger::trackEvent(QStringLiteral("debug_info_shown"));
    SystemUtils::showAlert(localized(LocalizationKeys::debugInfoTitle), localized(LocalizationKeys::debugInfoMessage),
                           AlertStyle::informational);
}

void AppDelegate::createPreferencesWindow() {
    if (preferencesWindow)
        return;
    auto* view = new PreferencesView({[](bool enabled) { SystemUtils::setAutoLaunch(enabled); },
                                      [this] { updateManager.checkForUpdates(false); },
                                      [this] { return runningApplications(); }});
    preferencesWindow = WindowHelper::createWindow(localized(LocalizationKeys::appName), view, this, 600, 360);
    Logger::log(QStringLiteral("Preferences window created"));
}

void AppDelegate::createOnboardingWindow() {
    if (onboardingWindow)
        return;
    auto* view = new OnboardingView({[this] { startKeyboardMonitoring(); },
                                     [this] {
                                         if (onboardingWindow)
                                             onboardingWindow->close();
                                     },
                                     &permissions});
    QString title = localized(LocalizationKeys::welcomeTitle);
    title.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QSize size = OnboardingView::openingSize;
    onboardingWindow = WindowHelper::createWindow(title, view, this, size.width(), size.height());
    Logger::log(QStringLiteral("Onboarding window created"));
}

void AppDelegate::windowWillClose(QWidget* window) {
    if (isShuttingDown || window == nullptr)
        return;
    // Called from the window's own close event: the window and its view go
    // once the event loop is back, never under the running handler.
    const auto release = [](QPointer<HostWindow>& field) {
        field->setDelegate(nullptr);
        field->clearContentView();
        field->deleteLater();
        field.clear();
    };
    if (window == preferencesWindow) {
        Logger::log(QStringLiteral("Preferences window closing"));
        release(preferencesWindow);
    } else if (window == onboardingWindow) {
        Logger::log(QStringLiteral("Onboarding window closing"));
        release(onboardingWindow);
        // Every way out of the welcome (Get Started, Skip, Escape, the close
        // button, the alert) leaves Velmora switching, as the next start
        // would, where the keyboard can be observed without asking.
        if (!engine.eventTap && permissions.checkPermission())
            createEventTap();
    }
}

void AppDelegate::closeAllWindows() {
    Logger::log(QStringLiteral("Closing all windows"));
    // The delegate goes first, so these closes do not come back as
    // windowWillClose; the fields keep their closed windows.
    for (HostWindow* window : {preferencesWindow.data(), onboardingWindow.data()}) {
        if (window == nullptr)
            continue;
        window->setDelegate(nullptr);
        window->clearContentView();
        window->close();
    }
}

void AppDelegate::bringToFront(HostWindow* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

bool AppDelegate::hasVisibleWindows() const {
    return (preferencesWindow && preferencesWindow->isVisible()) || (onboardingWindow && onboardingWindow->isVisible());
}

void AppDelegate::setActivationPolicy(int policy) {
    // Linux panels have no Dock: the policy only decides what reopening does.
    activationPolicy_ = policy;
    Logger::log(QStringLiteral("Activation policy: %1")
                    .arg(policy == activationPolicyAccessory ? QStringLiteral("accessory (icon in the tray only)")
                                                             : QStringLiteral("regular")));
}

} // namespace velmora
