#pragma once

#include <linux/input-event-codes.h>

#include <bitset>
#include <optional>

namespace velmora {

using EvdevKeyBits = std::bitset<KEY_CNT>;

// The capability and state questions asked of an open device. A FIFO or pipe
// answers none of them; tests answer them for their streams.
class EvdevDeviceAccess {
public:
    virtual ~EvdevDeviceAccess() = default;
    // Whether the device has letter keys and modifier keys.
    virtual bool isKeyboard(int fd) = 0;
    // The keys held now (EVIOCGKEY), or nothing when the device cannot tell.
    virtual std::optional<EvdevKeyBits> keyState(int fd) = 0;
    // Whether the Caps Lock light is on (EVIOCGLED), or nothing.
    virtual std::optional<bool> capsLockLight(int fd) = 0;
};

// The kernel's answers, through ioctl.
class SystemEvdevDeviceAccess final : public EvdevDeviceAccess {
public:
    bool isKeyboard(int fd) override;
    std::optional<EvdevKeyBits> keyState(int fd) override;
    std::optional<bool> capsLockLight(int fd) override;
};

} // namespace velmora
