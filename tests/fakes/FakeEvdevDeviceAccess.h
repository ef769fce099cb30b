#pragma once

#include "platform/evdev/EvdevDeviceAccess.h"

namespace velmora {

// Answers the state questions for streams that cannot: the keys a test says
// are held after a drop, and no light.
class FakeEvdevDeviceAccess final : public EvdevDeviceAccess {
public:
    std::optional<EvdevKeyBits> heldKeys;

    bool isKeyboard(int) override { return true; }
    std::optional<EvdevKeyBits> keyState(int) override { return heldKeys; }
    std::optional<bool> capsLockLight(int) override { return std::nullopt; }
};

} // namespace velmora
