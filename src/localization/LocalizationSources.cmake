# Interface languages: the manager in velmora_core and its string tables,
# compiled from Qt Linguist sources (id-based) and embedded under :/i18n.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LocalizationManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SupportedLanguage.cpp
)

# One table per language code of SupportedLanguage; "en" is the reference.
set(VELMORA_LANGUAGE_CODES en fr de pt ru es uk ja zh-Hans)
set(velmoraTranslationsDir ${CMAKE_CURRENT_LIST_DIR}/translations)
set(velmoraTsFiles)
foreach(code IN LISTS VELMORA_LANGUAGE_CODES)
  list(APPEND velmoraTsFiles ${velmoraTranslationsDir}/velmora_${code}.ts)
endforeach()
set_source_files_properties(${velmoraTsFiles} PROPERTIES OUTPUT_LOCATION ${CMAKE_BINARY_DIR}/translations)

# lrelease and the resource only: qt_add_translations would also create an
# lupdate target, which finds no qtTrId() calls and would mark every message
# obsolete. update_translations below takes its place.
qt_add_lrelease(velmora_core
  TS_FILES ${velmoraTsFiles}
  OPTIONS -idbased -silent
  QM_FILES_OUTPUT_VARIABLE velmoraQmFiles)
# In a static library the resource becomes an object library that every
# consumer links, so its initializer runs without Q_INIT_RESOURCE.
qt_add_resources(velmora_core velmora_translations
  PREFIX /i18n
  BASE ${CMAKE_BINARY_DIR}/translations
  FILES ${velmoraQmFiles})

# Translators' tools: keep the .ts files in step with LocalizationKeys.h.
add_executable(velmora-translations
  ${CMAKE_CURRENT_LIST_DIR}/maintenance/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/maintenance/TranslationTable.cpp
)
target_link_libraries(velmora-translations PRIVATE velmora_core)
add_custom_target(update_translations
  COMMAND velmora-translations sync ${velmoraTranslationsDir}
  COMMENT "Syncing the translation tables with LocalizationKeys.h"
  VERBATIM)
add_custom_target(check_translations
  COMMAND velmora-translations check ${velmoraTranslationsDir}
  VERBATIM)
add_test(NAME StringTables.sourceTablesComplete COMMAND velmora-translations check ${velmoraTranslationsDir})
