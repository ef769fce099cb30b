# Windows, the preferences and the onboarding, and the symbols they draw.
find_package(Qt6 REQUIRED COMPONENTS Svg)

target_sources(velmora_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HostWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SymbolIcons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowHelper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/AdvancedTab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/GeneralTab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/OnboardingPageView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/OnboardingView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/PageSlider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/PreferencesGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/PreferencesView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/ProgressSegment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/SettingCheckBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/SymbolLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/TabButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../settings/ViewStyle.cpp
)
target_link_libraries(velmora_app PUBLIC Qt6::Svg)

# Velmora's own drawings of its symbols, used where the icon theme has none.
set(velmoraSymbols
  arrow.clockwise arrow.down.circle arrow.left.arrow.right gearshape globe hand.raised keyboard target
  wrench.and.screwdriver)
list(TRANSFORM velmoraSymbols PREPEND ${CMAKE_CURRENT_LIST_DIR}/symbols/)
list(TRANSFORM velmoraSymbols APPEND .svg)
# In a static library the resource becomes an object library that every
# consumer links, so its initializer runs without Q_INIT_RESOURCE.
qt_add_resources(velmora_app velmora_symbols
  PREFIX /symbols
  BASE ${CMAKE_CURRENT_LIST_DIR}/symbols
  FILES ${velmoraSymbols})
