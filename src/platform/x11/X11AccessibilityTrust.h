#pragma once

#include "platform/AccessibilityTrust.h"

#include <QByteArray>

namespace velmora {

// Trusted when the keyboard can be observed as a whole: an X11 session whose
// display is reachable and offers XKB and XInput 2.2. A Wayland session is
// never trusted, even with XWayland, which only sees its own clients' keys.
class X11AccessibilityTrust final : public AccessibilityTrust {
public:
    // An empty display name means DISPLAY.
    explicit X11AccessibilityTrust(QByteArray displayName = {});

    bool isProcessTrusted() override;
    UntrustedReason untrustedReason() const override { return reason_; }

    // Whether the environment describes a Wayland session.
    static bool isWaylandSession();

private:
    QByteArray displayName_;
    UntrustedReason reason_;
};

} // namespace velmora
