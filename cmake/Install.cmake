# What `cmake --install` puts under the prefix, and the Debian package built
# from exactly that by CPack.
include(GNUInstallDirs)

install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# GNOME Shell finds an extension by its uuid under this folder: both entries,
# each in the folder of its uuid.
get_property(gnomeExtensions GLOBAL PROPERTY VELMORA_GNOME_EXTENSION_DIR)
if(gnomeExtensions)
  install(DIRECTORY ${gnomeExtensions}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions)
endif()

add_subdirectory(data)

# The program opens the keyboard-access help from ../share/doc/velmora next to
# its binary, so this directory is fixed rather than CMAKE_INSTALL_DOCDIR.
set(VELMORA_DOC_DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)
install(FILES docs/keyboard-access.md DESTINATION ${VELMORA_DOC_DESTINATION})
foreach(doc README.md docs/user-guide.md)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${doc})
    install(FILES ${doc} DESTINATION ${VELMORA_DOC_DESTINATION})
  endif()
endforeach()
# The screenshots the user guide shows.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/docs/images)
  install(DIRECTORY docs/images DESTINATION ${VELMORA_DOC_DESTINATION} FILES_MATCHING PATTERN "*.png")
endif()
# Debian looks for the licence under this name.
install(FILES LICENSE DESTINATION ${VELMORA_DOC_DESTINATION} RENAME copyright)

# Debian ships man pages compressed; -n keeps the archive identical between builds.
set(manPage ${CMAKE_CURRENT_SOURCE_DIR}/docs/velmora.1)
# Reconfigure when a page is added to docs/, so a new man page gets installed.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs)
if(EXISTS ${manPage})
  find_program(GZIP_EXECUTABLE gzip REQUIRED)
  set(manPageGz ${CMAKE_CURRENT_BINARY_DIR}/velmora.1.gz)
  add_custom_command(OUTPUT ${manPageGz}
    COMMAND ${GZIP_EXECUTABLE} -9n -c ${manPage} > ${manPageGz}
    DEPENDS ${manPage}
    COMMENT "Compressing the man page")
  add_custom_target(velmora_man_page ALL DEPENDS ${manPageGz})
  install(FILES ${manPageGz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <hello@${VELMORA_WEBSITE_HOST}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "English keyboard layout while a shortcut modifier is held")
set(CPACK_PACKAGE_DESCRIPTION
  "Velmora lives in the system tray of an X11 desktop. While Ctrl, Alt or Super\n"
  "is held it selects an English keyboard layout, so that shortcuts reach programs\n"
  "as the letters printed on the keys; on release the previous layout returns.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${VELMORA_WEBSITE_HOST}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Library dependencies are read from the binary; the Qt xcb platform plugin and
# the SVG plugins ship inside libqt6gui6 and libqt6svg6, which this finds too.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Wayland platform plugin is loaded at run time, so no library link names
# it: without it Velmora cannot open a window on a Wayland session.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland")
# Downloaded updates and help pages are opened through xdg-open; Cinnamon's
# per-window option is read through gsettings.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libglib2.0-bin")
include(CPack)
