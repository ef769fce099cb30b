#pragma once

#include "platform/KeyboardEventTap.h"

#include <memory>

namespace velmora {

class EvdevDeviceAccess;

// Creates taps over the keyboards VELMORA_INPUT_DEVICES names, or else over
// every keyboard in /dev/input, following those plugged in later.
class EvdevEventTapFactory final : public KeyboardEventTapFactory {
public:
    explicit EvdevEventTapFactory(std::shared_ptr<EvdevDeviceAccess> access = {});

    // Null, with a line saying why, when no keyboard can be read.
    std::unique_ptr<KeyboardEventTap> createEventTap(uint64_t eventMask, EventTapCallback callback,
                                                     void* userInfo) override;

private:
    std::shared_ptr<EvdevDeviceAccess> access_;
};

} // namespace velmora
