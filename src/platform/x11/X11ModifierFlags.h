#pragma once

#include <cstdint>

namespace velmora {

// The X modifier mask (core or XKB) as the 64-bit flag word the engine reads:
// Shift, Control, Mod1 (Alt) as Option, Mod4 (Super) as Command, Lock as Caps
// Lock. Mod2 (Num Lock), Mod3, Mod5 (AltGr) and the button bits have no flag.
uint64_t modifierFlagsFromX11Mask(uint32_t mask);

} // namespace velmora
