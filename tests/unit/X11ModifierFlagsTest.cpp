#include "platform/KeyboardEvent.h"
#include "platform/x11/X11ModifierFlags.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// X modifier bits: Shift 1<<0, Lock 1<<1, Control 1<<2, Mod1..Mod5 1<<3..1<<7,
// then the pointer buttons from 1<<8.
constexpr uint32_t xShift = 1u << 0, xLock = 1u << 1, xControl = 1u << 2, xMod1 = 1u << 3, xMod2 = 1u << 4,
                   xMod3 = 1u << 5, xMod4 = 1u << 6, xMod5 = 1u << 7, xButton1 = 1u << 8;

TEST(X11ModifierFlags, EachTranslatedModifierSetsItsOwnFlag) {
    EXPECT_EQ(modifierFlagsFromX11Mask(xShift), ModifierFlag::shift);
    EXPECT_EQ(modifierFlagsFromX11Mask(xControl), ModifierFlag::control);
    EXPECT_EQ(modifierFlagsFromX11Mask(xMod1), ModifierFlag::option);
    EXPECT_EQ(modifierFlagsFromX11Mask(xMod4), ModifierFlag::command);
    EXPECT_EQ(modifierFlagsFromX11Mask(xLock), ModifierFlag::capsLock);
    EXPECT_EQ(ModifierFlag::shift, 0x20000u);
    EXPECT_EQ(ModifierFlag::control, 0x40000u);
    EXPECT_EQ(ModifierFlag::option, 0x80000u);
    EXPECT_EQ(ModifierFlag::command, 0x100000u);
    EXPECT_EQ(ModifierFlag::capsLock, 0x10000u);
}

TEST(X11ModifierFlags, NumLockAltGrMod3AndButtonsHaveNoFlag) {
    EXPECT_EQ(modifierFlagsFromX11Mask(0), 0u);
    EXPECT_EQ(modifierFlagsFromX11Mask(xMod2 | xMod3 | xMod5 | xButton1 | (0x1fu << 8)), 0u);
}

TEST(X11ModifierFlags, CombinationsKeepEveryFlag) {
    EXPECT_EQ(modifierFlagsFromX11Mask(xControl | xMod1 | xMod2),
              ModifierFlag::control | ModifierFlag::option);
    EXPECT_EQ(modifierFlagsFromX11Mask(0xffff), ModifierFlag::shift | ModifierFlag::control |
                                                    ModifierFlag::option | ModifierFlag::command |
                                                    ModifierFlag::capsLock);
}

} // namespace
