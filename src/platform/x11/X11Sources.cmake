# The X11 keyboard backend: XKB for state, groups and names, XInput 2.2 raw
# events for keys, xkbcommon-x11 for the keymap's group count.
pkg_check_modules(VELMORA_XCB REQUIRED IMPORTED_TARGET xcb xcb-xkb xcb-xinput xkbcommon xkbcommon-x11)

add_library(velmora_platform STATIC
  src/platform/x11/X11AccessibilityTrust.cpp
  src/platform/x11/X11Connection.cpp
  src/platform/x11/X11EventTap.cpp
  src/platform/x11/X11EventTapFactory.cpp
  src/platform/x11/X11ModifierFlags.cpp
  src/platform/x11/X11Platform.cpp
  src/platform/x11/X11TextInputSources.cpp
  src/platform/x11/XkbSymbolsName.cpp
)
target_link_libraries(velmora_platform PUBLIC velmora_core Qt6::Core PkgConfig::VELMORA_XCB)
