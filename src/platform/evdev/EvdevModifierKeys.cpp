#include "platform/evdev/EvdevModifierKeys.h"

#include "platform/KeyboardEvent.h"

#include <array>
#include <utility>

namespace velmora {

namespace {

struct ModifierKey {
    unsigned code;
    uint64_t flag;
};

constexpr std::array<ModifierKey, 8> modifierKeys{{
    {KEY_LEFTSHIFT, ModifierFlag::shift},
    {KEY_RIGHTSHIFT, ModifierFlag::shift},
    {KEY_LEFTCTRL, ModifierFlag::control},
    {KEY_RIGHTCTRL, ModifierFlag::control},
    {KEY_LEFTALT, ModifierFlag::option},
    {KEY_RIGHTALT, ModifierFlag::option},
    {KEY_LEFTMETA, ModifierFlag::command},
    {KEY_RIGHTMETA, ModifierFlag::command},
}};

} // namespace

ModifierKeySet modifierKeyBit(unsigned code) {
    for (size_t i = 0; i < modifierKeys.size(); ++i)
        if (modifierKeys[i].code == code)
            return static_cast<ModifierKeySet>(1u << i);
    return 0;
}

ModifierKeySet modifierKeysHeld(const EvdevKeyBits& keys) {
    ModifierKeySet held = 0;
    for (const ModifierKey& key : modifierKeys)
        if (keys[key.code])
            held |= modifierKeyBit(key.code);
    return held;
}

uint64_t modifierFlagsFor(ModifierKeySet keys, bool capsLock) {
    uint64_t flags = capsLock ? ModifierFlag::capsLock : 0;
    for (size_t i = 0; i < modifierKeys.size(); ++i)
        if (keys & (1u << i))
            flags |= modifierKeys[i].flag;
    return flags;
}

} // namespace velmora
