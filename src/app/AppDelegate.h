#pragma once

#include "ui/HostWindow.h"
#include "ui/WindowDelegate.h"
#include "switching/PermissionFlow.h"
#include "switching/SwitchingEngine.h"
#include "ui/StatusMenu.h"
#include "updates/UpdateManager.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QSystemTrayIcon;

namespace velmora {

// Owns everything that lives longer than one call and wires it together:
// the tray icon and its menu, the switching engine (with its tap, saved
// layout and press state), the permission flow, the windows and the shutdown
// flag. Main thread only.
class AppDelegate : public QObject, public WindowDelegate {
    Q_OBJECT

public:
    explicit AppDelegate(UpdateManager& updates = UpdateManager::shared());
    ~AppDelegate() override;

    // Start-up and shutdown.
    void applicationDidFinishLaunching();
    void initializeApp();
    void initializeAutoLaunch();
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void applicationWillTerminate();
    void applicationWillTerminateNotification();
    void quitApp();
    void cleanup();

    // Notification observers.
    void updateAvailable(const QVariant& version);
    void menuBarIconSettingChanged();
    void languageDidChange();

    // Keyboard monitoring and the permission it needs.
    void startKeyboardMonitoring();
    void createEventTap();
    void forceAddToAccessibilityList();
    void showAccessibilityAlert();
    void startPermissionChecking();
    void stopPermissionChecking();

    // The tray icon and its menu.
    void setupStatusBar();
    void updateStatusItemIcon();
    void updateMenuBarIconVisibility();
    QIcon makeMenuBarIcon() const { return statusMenu.icon(); }

    // Menu actions.
    void showPreferences();
    void showUpdateDialog();
    void showSupport();
    void checkForUpdates();
    void showDebugInfo();

    // Windows.
    void createPreferencesWindow();
    void createOnboardingWindow();
    void windowWillClose(QWidget* window) override;
    void closeAllWindows();

    // Whether any of Velmora's windows is on screen.
    bool hasVisibleWindows() const;

    // Fields, in the order the application's design gives them.
    std::unique_ptr<QSystemTrayIcon> statusItem;
    SwitchingEngine engine; // the event tap, the saved input source, the press state
    PermissionFlow permissions; // holds the polling timer
    QPointer<HostWindow> preferencesWindow;
    QPointer<HostWindow> onboardingWindow;
    UpdateManager& updateManager;
    bool isShuttingDown = false;
    StatusMenu statusMenu;
    // Whether the desktop has a tray host to show the icon; a seam for tests.
    std::function<bool()> trayAvailable;

    // Activation policy values.
    static constexpr int activationPolicyRegular = 0;
    static constexpr int activationPolicyAccessory = 1;
    int activationPolicy() const { return activationPolicy_; }

private:
    void setActivationPolicy(int policy);
    void bringToFront(HostWindow* window);
    QString updateRowTitle() const;
    // Traces each focus change and remembers the applications seen in front.
    void followFocus();
    // The open windows' applications where the desktop lists them, else the
    // ones seen in front during this run.
    QList<QPair<QString, QString>> runningApplications() const;
    StatusMenu::Rows menuRows() const;

    int activationPolicy_ = activationPolicyRegular;
    bool reportedMissingTray_ = false;
    QStringList seenInFront_;
    std::optional<QString> lastInFront_;
};

} // namespace velmora
