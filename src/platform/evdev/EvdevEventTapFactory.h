#pragma once

#include "platform/KeyboardEventTap.h"

#include <functional>
#include <memory>

namespace velmora {

class EvdevDeviceAccess;
class SeatKeymap;

// Creates taps over the keyboards VELMORA_INPUT_DEVICES names, or else over
// every keyboard in /dev/input, following those plugged in later. Their keys
// go through the Wayland seat's keymap on the layout currentLayout gives.
class EvdevEventTapFactory final : public KeyboardEventTapFactory {
public:
    explicit EvdevEventTapFactory(std::function<int()> currentLayout = {},
                                  std::shared_ptr<EvdevDeviceAccess> access = {});

    // Null, with a line saying why, when no keyboard can be read.
    std::unique_ptr<KeyboardEventTap> createEventTap(uint64_t eventMask, EventTapCallback callback,
                                                     void* userInfo) override;

private:
    std::function<int()> currentLayout_;
    std::shared_ptr<EvdevDeviceAccess> access_;
    // Made with the first tap, when the application's event loop exists.
    std::shared_ptr<SeatKeymap> keymap_;
};

} // namespace velmora
