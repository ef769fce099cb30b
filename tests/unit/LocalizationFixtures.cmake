# Small, deliberately faulty string tables under :/test-i18n, for the tests of
# the lookup fallbacks and of the table checks.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
set(fixtureTsFiles)
foreach(code en fr)
  list(APPEND fixtureTsFiles ${CMAKE_CURRENT_LIST_DIR}/fixtures/translations/velmora_${code}.ts)
endforeach()
set_source_files_properties(${fixtureTsFiles} PROPERTIES OUTPUT_LOCATION ${CMAKE_CURRENT_BINARY_DIR}/fixtures)
qt_add_lrelease(velmora_unit_tests
  TS_FILES ${fixtureTsFiles}
  OPTIONS -idbased -silent
  NO_GLOBAL_TARGET
  QM_FILES_OUTPUT_VARIABLE fixtureQmFiles)
qt_add_resources(velmora_unit_tests localization_fixtures
  PREFIX /test-i18n
  BASE ${CMAKE_CURRENT_BINARY_DIR}/fixtures
  FILES ${fixtureQmFiles})
