#pragma once

#include <cstdint>

namespace velmora::test {

// X keycodes of the evdev keymap that Xvfb and setxkbmap load (kernel code + 8).
namespace Keycode {
inline constexpr uint8_t leftControl = 37;
inline constexpr uint8_t leftShift = 50;
inline constexpr uint8_t leftAlt = 64;
inline constexpr uint8_t capsLock = 66;
inline constexpr uint8_t leftSuper = 133;
inline constexpr uint8_t c = 54;
inline constexpr uint8_t v = 55;
} // namespace Keycode

} // namespace velmora::test
