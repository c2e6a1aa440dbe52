# Windows test executables run under Wine through ctest. One fixture per ctest run prepares a Wine prefix (the
# template) and, from it, a shared prefix with an Xvfb on a free display; every Windows test requires it. A
# test that reads the screen back or needs the keyboard runs in a fixture of its own instead (wine-own.sh: a
# copy of the template, its own wineserver and display), so that it can run beside the others. The cleanup
# stops what the setup and the tests started, by process id.
set(STATION_WINE_STATE ${CMAKE_BINARY_DIR}/wine-state)
set(STATION_WINE_SCRIPTS ${PROJECT_SOURCE_DIR}/tests/wine)
# The command prefix that runs `bash SCRIPT OWN_STATE_DIR ARGS...` in a fixture of the test's own.
set(STATION_WINE_OWN bash ${STATION_WINE_SCRIPTS}/wine-own.sh ${STATION_WINE_STATE})

add_test(NAME wine_setup COMMAND bash ${STATION_WINE_SCRIPTS}/wine-fixture.sh setup ${STATION_WINE_STATE})
add_test(NAME wine_cleanup COMMAND bash ${STATION_WINE_SCRIPTS}/wine-fixture.sh cleanup ${STATION_WINE_STATE})
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

# station_wine_test(<name> <label> <timeout> [OWN] [COMPOSITED]): the executable <name> run under Wine, in the
# shared fixture or (OWN) in one of its own; COMPOSITED: with a compositing manager on its display.
function(station_wine_test name label timeout)
  if("OWN" IN_LIST ARGN)
    set(command ${STATION_WINE_OWN} ${STATION_WINE_SCRIPTS}/wine-run.sh $<TARGET_FILE:${name}>)
  else()
    set(command bash ${STATION_WINE_SCRIPTS}/wine-run.sh ${STATION_WINE_STATE} $<TARGET_FILE:${name}>)
  endif()
  add_test(NAME ${name} COMMAND ${command} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine LABELS "${label};wine" TIMEOUT ${timeout})
  if("COMPOSITED" IN_LIST ARGN)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "WINE_COMPOSITOR=1")
  endif()
endfunction()
