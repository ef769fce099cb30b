# In-memory, scriptable platform for tests and the demo.
add_library(velmora_platform_fake STATIC
  src/platform/fake/FakeAccessibilityTrust.cpp
  src/platform/fake/FakeKeyboardEventTap.cpp
  src/platform/fake/FakeLoginItemService.cpp
  src/platform/fake/FakeTextInputSources.cpp
  src/platform/fake/ScriptedAlertPresenter.cpp
)
target_link_libraries(velmora_platform_fake PUBLIC velmora_core)


# Linux services that need no display: autostart entry, routes, machine facts.
add_library(velmora_platform_linux STATIC
  src/platform/linux/LinuxSystemInformation.cpp
  src/platform/linux/ProcNetRouteReachability.cpp
  src/platform/linux/XdgAutostartLoginItem.cpp
)
target_link_libraries(velmora_platform_linux PUBLIC velmora_core)

# The X11 keyboard backend: velmora_platform.
include(src/platform/x11/X11Sources.cmake)

# Qt-based services: dialogs and the desktop's handlers.
find_package(Qt6 REQUIRED COMPONENTS DBus Gui Widgets)
add_library(velmora_platform_qt STATIC
  src/platform/qt/QtAlertPresenter.cpp
  src/platform/qt/QtWorkspace.cpp
)
target_link_libraries(velmora_platform_qt PUBLIC velmora_core Qt6::DBus Qt6::Gui Qt6::Widgets)
