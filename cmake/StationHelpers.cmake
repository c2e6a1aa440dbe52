# Helpers shared by the project's CMakeLists files.
#
# Source file conventions: a file whose name ends in _win32.cpp is built only for Windows, one ending in
# _posix.cpp only natively.

# station_sources(<out-var> <file>...): the files of the list that belong to this build.
function(station_sources out)
  set(result)
  foreach(f ${ARGN})
    if(f MATCHES "_win32\\.cpp$" AND NOT WIN32)
      continue()
    endif()
    if(f MATCHES "_posix\\.cpp$" AND WIN32)
      continue()
    endif()
    list(APPEND result ${f})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# station_library(<name> SOURCES <files> [DEPS <targets>])
function(station_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  station_sources(srcs ${A_SOURCES})
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC station_options ${A_DEPS})
endfunction()

# station_test(<name> SOURCES <files> DEPS <targets> LABEL <label> [WINDOWS_ONLY] [NATIVE_ONLY] [SCREEN]
#              [COMPOSITED])
# Natively the test cases are discovered one by one; in the Windows build the whole executable is one
# test, run under Wine by the wine fixture (see WineTests.cmake). SCREEN: the test reads back what its
# windows show, or depends on which window is active: it runs on a display and a wineserver of its own, so
# that no other test's window covers its windows or takes the activation and the keyboard. COMPOSITED (with
# SCREEN): a compositing manager runs on that display, so that the per-pixel alpha of layered windows shows (the
# skinned forms' border windows and glows exist only where it does).
function(station_test name)
  cmake_parse_arguments(A "WINDOWS_ONLY;NATIVE_ONLY;SCREEN;COMPOSITED" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(A_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  if(A_NATIVE_ONLY AND WIN32)
    return()
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 600)
  endif()
  station_sources(srcs ${A_SOURCES})
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE station_options ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE STATION_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(WIN32)
    if(A_SCREEN AND A_COMPOSITED)
      station_wine_test(${name} ${A_LABEL} ${A_TIMEOUT} OWN COMPOSITED)
    elseif(A_SCREEN)
      station_wine_test(${name} ${A_LABEL} ${A_TIMEOUT} OWN)
    else()
      station_wine_test(${name} ${A_LABEL} ${A_TIMEOUT})
    endif()
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS "${A_LABEL}" TIMEOUT ${A_TIMEOUT}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()

# station_fuzzer(<name> SOURCES <files> DEPS <targets>): a libFuzzer target (fuzz preset). In the native
# test builds the same target is linked with fuzz/replay_main.cpp instead of libFuzzer when it has saved
# regression inputs (fuzz/regressions/<name>/), and ctest replays them through it (label "fuzz").
function(station_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  if(STATION_FUZZ)
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE station_options ${A_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY STATION_FUZZERS ${name})
  elseif(STATION_BUILD_TESTS AND NOT WIN32 AND IS_DIRECTORY ${PROJECT_SOURCE_DIR}/fuzz/regressions/${name})
    add_executable(${name}_replay ${A_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE station_options ${A_DEPS})
    add_test(NAME ${name}_regressions COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/regressions/${name}
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name}_regressions PROPERTIES LABELS fuzz TIMEOUT 300)
  endif()
endfunction()

# station_bench(<name> SOURCES <files> DEPS <targets>): a Google Benchmark executable.
function(station_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE station_options ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# station_link_closure(<out-var> <target>): every target that <target> links, directly or through others.
function(station_link_closure out target)
  set(seen)
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending t)
    if(NOT TARGET ${t})
      continue()
    endif()
    get_target_property(libs ${t} LINK_LIBRARIES)
    get_target_property(ilibs ${t} INTERFACE_LINK_LIBRARIES)
    foreach(l IN LISTS libs ilibs)
      if(l AND NOT l MATCHES "NOTFOUND$" AND NOT l MATCHES "^\\$<" AND NOT l IN_LIST seen)
        list(APPEND seen ${l})
        list(APPEND pending ${l})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# station_forbid_links(<target> <forbidden>...): the configuration fails when <target> links one of the
# forbidden targets, directly or through another library (a layering rule of the project).
function(station_forbid_links target)
  if(NOT TARGET ${target})
    return()
  endif()
  station_link_closure(closure ${target})
  foreach(f ${ARGN})
    if(f IN_LIST closure)
      message(FATAL_ERROR "${target} must not link ${f} (it links: ${closure})")
    endif()
  endforeach()
endfunction()
