#pragma once

#include "platform/AccessibilityTrust.h"

#include <memory>

namespace velmora {

class EvdevDeviceAccess;

// Trusted when at least one keyboard device can be opened for reading: those
// VELMORA_INPUT_DEVICES names, else the keyboards in /dev/input.
class EvdevAccessibilityTrust final : public AccessibilityTrust {
public:
    explicit EvdevAccessibilityTrust(std::shared_ptr<EvdevDeviceAccess> access = {});

    bool isProcessTrusted() override;
    UntrustedReason untrustedReason() const override { return reason_; }

private:
    std::shared_ptr<EvdevDeviceAccess> access_;
    UntrustedReason reason_;
};

} // namespace velmora
