# In-memory, scriptable platform for tests and the demo.
add_library(velmora_platform_fake STATIC
  src/platform/fake/FakeKeyboardEventTap.cpp
  src/platform/fake/FakeTextInputSources.cpp
)
target_link_libraries(velmora_platform_fake PUBLIC velmora_core)

