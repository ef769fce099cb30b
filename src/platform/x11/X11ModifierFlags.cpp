#include "platform/x11/X11ModifierFlags.h"

#include "platform/KeyboardEvent.h"

#include <xcb/xproto.h>

namespace velmora {

uint64_t modifierFlagsFromX11Mask(uint32_t mask) {
    struct Mapping {
        uint32_t xMask;
        uint64_t flag;
    };
    static constexpr Mapping mappings[] = {
        {XCB_MOD_MASK_SHIFT, ModifierFlag::shift},  {XCB_MOD_MASK_CONTROL, ModifierFlag::control},
        {XCB_MOD_MASK_1, ModifierFlag::option},     {XCB_MOD_MASK_4, ModifierFlag::command},
        {XCB_MOD_MASK_LOCK, ModifierFlag::capsLock},
    };
    uint64_t flags = 0;
    for (const Mapping& mapping : mappings)
        if (mask & mapping.xMask)
            flags |= mapping.flag;
    return flags;
}

} // namespace velmora
