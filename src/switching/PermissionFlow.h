#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QTimer;

namespace velmora {

class SwitchingEngine;

// Everything between "monitoring should start" and a running event tap:
// the trust check, the request made once per installation, the alert whose
// first button opens the help, and the poll that creates the tap once trust
// arrives. Start-up and the onboarding share one instance, so the reason for
// missing trust is printed once per run. Main thread only.
class PermissionFlow final : public QObject {
    Q_OBJECT

public:
    static constexpr int pollingIntervalMs = 2000;
    static constexpr int temporaryTapLifetimeMs = 100;

    // Without an engine the flow only checks and explains (nothing to start);
    // the owner's shutdown flag is read, never written.
    explicit PermissionFlow(SwitchingEngine* engine = nullptr, const bool* isShuttingDown = nullptr,
                            QObject* parent = nullptr);
    ~PermissionFlow() override;

    // The trust check with its status line; the first missing trust also
    // prints why.
    bool checkPermission();
    void startKeyboardMonitoring();
    void createEventTap();
    void forceAddToAccessibilityList();
    void showAccessibilityAlert();
    // The alert explaining missing keyboard access, with Velmora's reason in
    // the interface language; its first button opens the help. With an engine
    // the poll for access starts afterwards. Returns the button code.
    int explainMissingAccess(const QString& titleKey, const QString& messageKey);
    void startPermissionChecking();
    void stopPermissionChecking();

    // Non-null while polling.
    std::unique_ptr<QTimer> permissionCheckTimer;

private:
    bool shuttingDown() const { return isShuttingDown_ != nullptr && *isShuttingDown_; }

    SwitchingEngine* engine_;
    const bool* isShuttingDown_;
    bool reportedReason_ = false;
};

} // namespace velmora
