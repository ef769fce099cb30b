#include "platform/evdev/EvdevAccessibilityTrust.h"

#include "platform/evdev/EvdevDeviceAccess.h"
#include "platform/evdev/EvdevKeyboards.h"

namespace velmora {

EvdevAccessibilityTrust::EvdevAccessibilityTrust(std::shared_ptr<EvdevDeviceAccess> access)
    : access_(access ? std::move(access) : std::make_shared<SystemEvdevDeviceAccess>()) {}

bool EvdevAccessibilityTrust::isProcessTrusted() {
    const QStringList configured = EvdevKeyboards::configuredPaths();
    const bool readable = configured.isEmpty() ? !EvdevKeyboards::discover(*access_).isEmpty()
                                               : EvdevKeyboards::anyReadable(configured);
    if (readable) {
        reason_ = {};
        return true;
    }
    reason_.cause = UntrustedReason::Cause::noReadableKeyboard;
    reason_.english = QStringLiteral(
        "no keyboard device in /dev/input can be read; on Wayland Velmora reads the keyboards' devices, "
        "which needs membership in the input group (sudo usermod -aG input $USER, then log out and back "
        "in). That access could read every key; Velmora reads only which modifier keys are held");
    return false;
}

} // namespace velmora
