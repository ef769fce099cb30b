#include "app/AppDelegate.h"

#include "ui/WindowHelper.h"
#include "base/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "switching/SystemUtils.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "base/ApplicationIdentity.h"
#include "settings/NotificationCenter.h"
#include "ui/OnboardingView.h"
#include "ui/PreferencesView.h"
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

AppDelegate::AppDelegate(UpdateManager& updates)
    : engine(isShuttingDown,
             [this] {
                 // A tap that exists must be torn down when the application ends.
                 NotificationCenter::defaultCenter().addObserver(
                     this, Constants::applicationWillTerminateNotification,
                     [this](const QVariant&) { applicationWillTerminateNotification(); });
             }),
      updateManager(updates) {
    // The update row shows the download's progress while it runs.
    connect(&updateManager, &UpdateManager::downloadProgressChanged, this, &AppDelegate::updateStatusItemIcon);
    connect(&updateManager, &UpdateManager::isDownloadingChanged, this, &AppDelegate::updateStatusItemIcon);
}

AppDelegate::~AppDelegate() {
    cleanup();
    delete preferencesWindow.data();
    delete onboardingWindow.data();
}

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
                                           {localized(LocalizationKeys::openSettings), localized(LocalizationKeys::later)},
                                           AlertResponse::secondButton});
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
                if (engine.eventTap)
                    Logger::log(QStringLiteral("Accessibility permissions granted - keyboard monitoring activated"));
                else
                    ConsoleOutput::writeLine(QStringLiteral(
                        "❌ Keyboard access was granted, but the keyboard could not be observed; restart Velmora"));
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

    // Every change builds a whole new menu; the previous one is dropped.
    QMenu* previous = statusItem->contextMenu();
    statusItem->setContextMenu(buildMenu());
    delete previous;
    statusItem->show();
}

QMenu* AppDelegate::buildMenu() {
    // A menu reads "&" as the mark of a mnemonic: "Help & Support" would
    // show an underlined space. Titles are text, so every "&" is doubled.
    const auto title = [](QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); };
    auto* menu = new QMenu();
    QAction* preferences =
        menu->addAction(title(localized(LocalizationKeys::menuPreferences)), this, &AppDelegate::showPreferences);
    preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    menu->addSeparator();
    if (updateManager.updateAvailable()) {
        QAction* update = menu->addAction(title(updateRowTitle()), this, &AppDelegate::showUpdateDialog);
        update->setEnabled(!updateManager.isDownloading());
        menu->addSeparator();
    }
    menu->addAction(title(localized(LocalizationKeys::menuHelpSupport)), this, &AppDelegate::showSupport);
    menu->addAction(title(localized(LocalizationKeys::menuCheckUpdates)), this,
                    &AppDelegate::checkForUpdates);
    if (SettingsStore::standard().boolForKey(Constants::enableDebugMode)) {
        menu->addSeparator();
        menu->addAction(title(localized(LocalizationKeys::menuDebugInfo)), this, &AppDelegate::showDebugInfo);
    }
    menu->addSeparator();
    QAction* quit =
        menu->addAction(title(localized(LocalizationKeys::menuQuit)), this, &AppDelegate::quitApp);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    return menu;
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

QIcon AppDelegate::makeMenuBarIcon() const {
    // A keyboard outline with two rows of keys and a space bar, 22 × 16,
    // white. Every edge lies on the pixel grid at both densities, so the
    // glyph stays sharp at its small size instead of blurring into grey.
    const auto draw = [](qreal ratio) {
        QPixmap pixmap(qRound(22 * ratio), qRound(16 * ratio));
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 1.0));
        painter.setBrush(Qt::NoBrush);
        // A one-pixel line centred on half pixels covers whole pixels.
        painter.drawRoundedRect(QRectF(1.5, 2.5, 19.0, 11.0), 2.0, 2.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 5; ++column)
                painter.drawRect(QRect(4 + column * 3, 4 + row * 3, 2, 2));
        painter.drawRect(QRect(7, 10, 8, 2));
        painter.end();
        return pixmap;
    };
    QIcon icon;
    icon.addPixmap(draw(1.0));
    icon.addPixmap(draw(2.0));
    icon.setIsMask(true);
    return icon;
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
    if (const std::optional<AppVersion> pending = updateManager.updateAvailable())
        updateManager.showUpdateAlert(*pending);
}

void AppDelegate::showSupport() {
    SystemUtils::openURL(ApplicationIdentity::supportPage());
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
                                      [this] { updateManager.checkForUpdates(false); }});
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
                                     }});
    QString title = localized(LocalizationKeys::welcomeTitle);
    title.replace(QLatin1Char('\n'), QLatin1Char(' '));
    onboardingWindow = WindowHelper::createWindow(title, view, this, 500, 600);
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

void AppDelegate::runAutomaticUpdateCheck() {
    if (updateManager.shouldCheckForUpdates())
        updateManager.checkForUpdates(true);
}

} // namespace velmora
