# The update checker and downloader: the core plus QtNetwork.
find_package(Qt6 REQUIRED COMPONENTS Network)
add_library(velmora_updates STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AppVersion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpdateManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VersionOrder.cpp
)
target_link_libraries(velmora_updates PUBLIC velmora_core Qt6::Network)
