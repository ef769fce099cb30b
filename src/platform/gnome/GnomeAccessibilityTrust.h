#pragma once

#include "platform/AccessibilityTrust.h"

#include <QDBusConnection>

#include <memory>

namespace velmora {

// GNOME needs two things: the keyboard observed (the session's own trust:
// evdev on Wayland, X11 on X11) and Velmora's extension running in the shell.
// An extension installed but turned off is turned on, once; one the shell has
// not loaded needs a new login, and the reason says so.
class GnomeAccessibilityTrust final : public AccessibilityTrust {
public:
    GnomeAccessibilityTrust(std::shared_ptr<AccessibilityTrust> keyboard,
                            QDBusConnection bus = QDBusConnection::sessionBus());

    bool isProcessTrusted() override;
    UntrustedReason untrustedReason() const override { return reason_; }

private:
    bool extensionAnswers();
    // Why the extension does not answer; enables it when it is only off.
    UntrustedReason extensionProblem();
    void announceTurnedOn();

    std::shared_ptr<AccessibilityTrust> keyboard_;
    QDBusConnection bus_;
    bool triedEnabling_ = false;
    bool turningOn_ = false; // asked to, not yet seen answering
    UntrustedReason reason_;
};

} // namespace velmora
