#include "platform/evdev/EvdevDeviceAccess.h"

#include <linux/input.h>
#include <sys/ioctl.h>

#include <array>
#include <cstdint>

namespace velmora {

namespace {

template <size_t Bits> using BitBytes = std::array<uint8_t, (Bits + 7) / 8>;

template <size_t Bits> bool testBit(const BitBytes<Bits>& bytes, unsigned bit) {
    return (bytes[bit / 8] >> (bit % 8)) & 1;
}

} // namespace

bool SystemEvdevDeviceAccess::isKeyboard(int fd) {
    BitBytes<KEY_CNT> keys{};
    if (ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys.data()) < 0)
        return false;
    // Mice and power buttons have EV_KEY too; a keyboard has letters and a
    // Ctrl key.
    for (unsigned code : {KEY_A, KEY_Z, KEY_C, KEY_V, KEY_LEFTCTRL})
        if (!testBit<KEY_CNT>(keys, code))
            return false;
    return true;
}

std::optional<EvdevKeyBits> SystemEvdevDeviceAccess::keyState(int fd) {
    BitBytes<KEY_CNT> keys{};
    if (ioctl(fd, EVIOCGKEY(sizeof keys), keys.data()) < 0)
        return std::nullopt;
    EvdevKeyBits state;
    for (unsigned code = 0; code < KEY_CNT; ++code)
        state[code] = testBit<KEY_CNT>(keys, code);
    return state;
}

std::optional<bool> SystemEvdevDeviceAccess::capsLockLight(int fd) {
    BitBytes<LED_CNT> leds{};
    if (ioctl(fd, EVIOCGLED(sizeof leds), leds.data()) < 0)
        return std::nullopt;
    return testBit<LED_CNT>(leds, LED_CAPSL);
}

} // namespace velmora
