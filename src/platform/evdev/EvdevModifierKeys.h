#pragma once

#include "platform/evdev/EvdevDeviceAccess.h"

#include <cstdint>

namespace velmora {

// The modifier keys the observer follows, one bit each in a small set: both
// Shift, Ctrl, Alt and Super keys. Every other key code is used only to tell
// it is not one of them.
using ModifierKeySet = uint16_t;

// The key's bit, or 0 for a key that is not a followed modifier.
ModifierKeySet modifierKeyBit(unsigned code);
ModifierKeySet modifierKeysHeld(const EvdevKeyBits& keys);
// The engine's flag word for the held keys and the Caps Lock state.
uint64_t modifierFlagsFor(ModifierKeySet keys, bool capsLock);

} // namespace velmora
