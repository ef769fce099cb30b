#include "app/AppDelegate.h"

#include "diagnostics/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "diagnostics/SystemUtils.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace velmora {

namespace {

constexpr int permissionPollingIntervalMs = 2000;
constexpr int temporaryTapLifetimeMs = 100;
constexpr int statusRefreshIntervalMs = 60000;
constexpr int automaticUpdateCheckDelayMs = 2000;

QString localized(const QString& key) { return LocalizationManager::shared().localizedString(key); }

KeyboardEvent* passEventOn(uint32_t, KeyboardEvent* event, void*) { return event; }

} // namespace

AppDelegate::AppDelegate() : engine(isShuttingDown, [this] {
    // A tap that exists must be torn down when the application ends.
    NotificationCenter::defaultCenter().addObserver(this, Constants::applicationWillTerminateNotification,
                                                    [this](const QVariant&) { applicationWillTerminateNotification(); });
}) {}

AppDelegate::~AppDelegate() { cleanup(); }

void AppDelegate::applicationDidFinishLaunching() {
    configureDefaultSettings();
    setActivationPolicy(SettingsStore::standard().boolForKey(Constants::showMenuBarIcon) ? activationPolicyAccessory
                                                                                        : activationPolicyRegular);
    setupStatusBar();
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
    QTimer::singleShot(automaticUpdateCheckDelayMs, this, &AppDelegate::runAutomaticUpdateCheck);
}

void AppDelegate::initializeApp() {
    Logger::log(QStringLiteral("Initializing app"));
    SettingsStore& store = SettingsStore::standard();
    if (!store.boolForKey(Constants::hasLaunchedBefore)) {
        Logger::log(QStringLiteral("First launch detected - showing onboarding"));
        if (!isShuttingDown) {
            createOnboardingWindow();
            if (onboardingWindow) {
                onboardingWindow->show();
                onboardingWindow->raise();
                onboardingWindow->activateWindow();
            }
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
    SystemUtils::setAutoLaunch(true);
    Logger::log(QStringLiteral("Auto launch enabled automatically"));
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    if (!SettingsStore::standard().boolForKey(Constants::showMenuBarIcon) && !hasVisibleWindows)
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

void AppDelegate::startKeyboardMonitoring() {
    if (isShuttingDown)
        return;
    if (SystemUtils::checkAccessibilityPermissions()) {
        createEventTap();
        return;
    }
    forceAddToAccessibilityList();
    SettingsStore& store = SettingsStore::standard();
    if (!store.boolForKey(Constants::hasShownPermissionRequest)) {
        SystemUtils::requestAccessibilityPermissions();
        store.setBool(Constants::hasShownPermissionRequest, true);
    }
    if (SystemUtils::checkAccessibilityPermissions()) {
        createEventTap();
        return;
    }
    showAccessibilityAlert();
    startPermissionChecking();
}

void AppDelegate::createEventTap() { engine.createEventTap(); }

void AppDelegate::forceAddToAccessibilityList() {
    KeyboardEventTapFactory* factory = Platform::current().eventTaps.get();
    std::shared_ptr<KeyboardEventTap> tap =
        factory != nullptr ? factory->createEventTap(keyboardEventMask, &passEventOn, nullptr) : nullptr;
    if (!tap) {
        Logger::log(QStringLiteral("Failed to create temporary event tap"));
        return;
    }
    tap->setEnabled(true);
    QTimer::singleShot(temporaryTapLifetimeMs, [tap] { tap->setEnabled(false); });
    Logger::log(QStringLiteral("Attempted to force add app to Accessibility list"));
}

void AppDelegate::showAccessibilityAlert() {
    AlertPresenter* alerts = Platform::current().alerts.get();
    if (alerts == nullptr)
        return;
    const int response = alerts->runModal({localized(LocalizationKeys::accessibilityPermissionsTitle),
                                           localized(LocalizationKeys::accessibilityPermissionsMessage),
                                           AlertStyle::warning,
                                           {localized(LocalizationKeys::openSettings), localized(LocalizationKeys::later)}});
    if (response == AlertResponse::firstButton)
        SystemUtils::openAccessibilitySettings();
}

void AppDelegate::startPermissionChecking() {
    if (isShuttingDown)
        return;
    Logger::log(QStringLiteral("Starting permission checking timer"));
    permissionCheckTimer = std::make_unique<QTimer>();
    connect(permissionCheckTimer.get(), &QTimer::timeout, this, [this] {
        if (!SystemUtils::checkAccessibilityPermissions())
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isShuttingDown)
                    return;
                createEventTap();
                stopPermissionChecking();
                Logger::log(QStringLiteral("Accessibility permissions granted - keyboard monitoring activated"));
            },
            Qt::QueuedConnection);
    });
    permissionCheckTimer->start(permissionPollingIntervalMs);
}

void AppDelegate::stopPermissionChecking() {
    if (permissionCheckTimer)
        permissionCheckTimer->stop();
    permissionCheckTimer.reset();
    Logger::log(QStringLiteral("Permission checking stopped"));
}

void AppDelegate::setupStatusBar() {
    if (isShuttingDown)
        return;
    if (!SettingsStore::standard().boolForKey(Constants::showMenuBarIcon)) {
        statusItem.reset();
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable() && !reportedMissingTray_) {
        reportedMissingTray_ = true;
        ConsoleOutput::writeLine(
            QStringLiteral("⚠️ No system tray on this desktop: Velmora keeps switching layouts without its icon"));
    }
    if (!statusItem)
        statusItem = std::make_unique<QSystemTrayIcon>();
    statusItem->setIcon(makeMenuBarIcon());
    statusItem->setToolTip(QStringLiteral("Velmora - Keyboard Layout Switcher"));

    // Every change builds a whole new menu; the old one goes with its owner.
    auto* menu = new QMenu();
    QAction* quit = menu->addAction(localized(LocalizationKeys::menuQuit), this, &AppDelegate::quitApp);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* previous = statusItem->contextMenu();
    statusItem->setContextMenu(menu);
    delete previous;
    statusItem->show();
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
}

QIcon AppDelegate::makeMenuBarIcon() const {
    // A keyboard outline with two rows of keys and a space bar, 22 × 16,
    // white, drawn at twice the size for high-density panels.
    QPixmap pixmap(44, 32);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.2, 2.2, 19.6, 11.6), 2.2, 2.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 6; ++column)
            painter.drawRect(QRectF(3.6 + column * 2.7 + row * 0.8, 4.6 + row * 2.6, 1.6, 1.6));
    painter.drawRoundedRect(QRectF(6.5, 10.0, 9.0, 1.6), 0.5, 0.5);
    painter.end();
    QIcon icon(pixmap);
    icon.setIsMask(true);
    return icon;
}

void AppDelegate::showPreferences() {
    if (isShuttingDown)
        return;
    Logger::log(QStringLiteral("Preferences requested"));
    if (preferencesWindow) {
        preferencesWindow->show();
        preferencesWindow->raise();
        preferencesWindow->activateWindow();
    }
    Logger::trackEvent(QStringLiteral("preferences_opened"));
}

void AppDelegate::showDebugInfo() {
    Logger::log(QStringLiteral("Debug info requested by user"));
    SystemUtils::logSystemInfo();
    Logger::trackEvent(QStringLiteral("debug_info_shown"));
    SystemUtils::showAlert(localized(LocalizationKeys::debugInfoTitle), localized(LocalizationKeys::debugInfoMessage),
                           AlertStyle::informational);
}

void AppDelegate::createOnboardingWindow() {
    if (isShuttingDown || onboardingWindow)
        return;
    Logger::log(QStringLiteral("Onboarding window is not available in this build"));
}

void AppDelegate::closeAllWindows() {
    Logger::log(QStringLiteral("Closing all windows"));
    if (preferencesWindow)
        preferencesWindow->close();
    if (onboardingWindow)
        onboardingWindow->close();
    preferencesWindow.clear();
    onboardingWindow.clear();
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

void AppDelegate::runAutomaticUpdateCheck() {
    if (updateManager.shouldCheckForUpdates())
        updateManager.checkForUpdates(true);
}

} // namespace velmora
