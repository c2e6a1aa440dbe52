# Windows test executables run under Wine through ctest. One fixture per ctest run starts Xvfb on a free
# display and makes a private Wine prefix; every Windows test requires it; the cleanup stops what the setup
# started, by process id.
set(STATION_WINE_STATE ${CMAKE_BINARY_DIR}/wine-state)
set(STATION_WINE_SCRIPTS ${PROJECT_SOURCE_DIR}/tests/wine)

add_test(NAME wine_setup COMMAND bash ${STATION_WINE_SCRIPTS}/wine-fixture.sh setup ${STATION_WINE_STATE})
add_test(NAME wine_cleanup COMMAND bash ${STATION_WINE_SCRIPTS}/wine-fixture.sh cleanup ${STATION_WINE_STATE})
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

function(station_wine_test name label timeout)
  add_test(NAME ${name}
    COMMAND bash ${STATION_WINE_SCRIPTS}/wine-run.sh ${STATION_WINE_STATE} $<TARGET_FILE:${name}>
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine LABELS "${label};wine" TIMEOUT ${timeout})
endfunction()
