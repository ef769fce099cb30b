# Sources of velmora_core: QtCore only, no X11, no widgets.
target_sources(velmora_core PRIVATE
  src/diagnostics/ConsoleOutput.cpp
  src/diagnostics/Error.cpp
  src/diagnostics/Logger.cpp
  src/diagnostics/SystemUtils.cpp
  src/platform/Platform.cpp
  src/settings/Constants.cpp
  src/settings/DefaultsCommand.cpp
  src/settings/InMemorySettingsStore.cpp
  src/settings/NotificationCenter.cpp
  src/settings/QSettingsStore.cpp
  src/settings/SettingsStore.cpp
  src/settings/SystemUtilsLaunchAtLogin.cpp
  src/switching/SwitchingEngine.cpp
  src/switching/SystemUtilsAccessibility.cpp
  src/switching/SystemUtilsInputSources.cpp
)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # XKB layout names count as English on X11 and Wayland alike.
  target_sources(velmora_core PRIVATE src/platform/linux/EnglishLayoutIdentifiers.cpp)
endif()
