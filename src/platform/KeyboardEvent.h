#pragma once

#include <cstdint>

namespace velmora {

// Event types as the switching engine knows them; the values follow the
// system-wide numbering so that traces read the same on every platform.
namespace EventType {
inline constexpr uint32_t keyDown = 10;
inline constexpr uint32_t keyUp = 11;
inline constexpr uint32_t flagsChanged = 12;
// Notices that the platform stopped delivering events to a tap.
inline constexpr uint32_t tapDisabledByTimeout = 0xFFFFFFFE;
inline constexpr uint32_t tapDisabledByUserInput = 0xFFFFFFFF;
} // namespace EventType

// The tap's event mask: (1 << keyDown) | (1 << keyUp) | (1 << flagsChanged).
inline constexpr uint64_t keyboardEventMask =
    (uint64_t{1} << EventType::keyDown) | (uint64_t{1} << EventType::keyUp) |
    (uint64_t{1} << EventType::flagsChanged);

// Bits of the 64-bit modifier flag word carried by every event.
namespace ModifierFlag {
inline constexpr uint64_t capsLock = 0x10000;
inline constexpr uint64_t shift = 0x20000;
inline constexpr uint64_t control = 0x40000;
inline constexpr uint64_t option = 0x80000;   // Alt on PC keyboards
inline constexpr uint64_t command = 0x100000; // Super on PC keyboards
inline constexpr uint64_t function = 0x800000;
} // namespace ModifierFlag

// One observed keyboard event. Observers read it; nobody rewrites it.
struct KeyboardEvent {
    uint64_t flags = 0;
    uint32_t keycode = 0;
};

inline uint64_t eventGetFlags(const KeyboardEvent& event) { return event.flags; }

} // namespace velmora
