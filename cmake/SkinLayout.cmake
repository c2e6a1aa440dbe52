# The skinning library's layering rule: skin/ holds one library per folder, lowest first
#   pixels <- data <- timer <- painters <- manager <- adapters <- forms
# and a file includes only from its own folder and the folders below it; pixels and data stand on no component
# of the component layer (gui/). The configuration checks it, and ctest checks it again on the tree as it is then
# (a file edited since the last configure), so an include that runs up fails the build's tests.
#
# As a script: cmake -DROOT=<source tree> -P SkinLayout.cmake

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()
set(STATION_SKIN_FOLDERS pixels data timer painters manager adapters forms)

# station_check_skin_includes(<root> <out-var>): the list of offending includes under <root>/skin, as
# "file: include" lines; empty when the tree keeps the rule.
function(station_check_skin_includes root out)
  set(errors)
  file(GLOB folders_on_disk LIST_DIRECTORIES true RELATIVE ${root}/skin ${root}/skin/*)
  foreach(folder ${folders_on_disk})
    if(IS_DIRECTORY ${root}/skin/${folder} AND NOT folder IN_LIST STATION_SKIN_FOLDERS)
      list(APPEND errors "skin/${folder}: not a folder of the skinning library (${STATION_SKIN_FOLDERS})")
    endif()
  endforeach()
  set(rank 0)
  foreach(folder ${STATION_SKIN_FOLDERS})
    file(GLOB files ${root}/skin/${folder}/*.h ${root}/skin/${folder}/*.cpp)
    foreach(f ${files})
      file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"(skin|gui)/")
      foreach(line ${lines})
        string(REGEX MATCH "\"(skin/([a-z_]+)|gui)/[^\"]*\"" inc "${line}")
        set(target "${CMAKE_MATCH_2}")
        file(RELATIVE_PATH rel ${root} ${f})
        if("${target}" STREQUAL "")
          # gui/: the timer and the folders above it only.
          if(rank LESS 2)
            list(APPEND errors "${rel}: ${inc} (skin/${folder} stands below the component layer)")
          endif()
        else()
          list(FIND STATION_SKIN_FOLDERS ${target} target_rank)
          if(target_rank LESS 0)
            list(APPEND errors "${rel}: ${inc} (no such folder of the skinning library)")
          elseif(target_rank GREATER rank)
            list(APPEND errors "${rel}: ${inc} (skin/${target} stands above skin/${folder})")
          endif()
        endif()
      endforeach()
    endforeach()
    math(EXPR rank "${rank} + 1")
  endforeach()
  set(${out} ${errors} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED ROOT)
  station_check_skin_includes(${ROOT} errors)
  if(errors)
    list(JOIN errors "\n  " text)
    message(FATAL_ERROR "includes that run up the skinning library's layers:\n  ${text}")
  endif()
endif()
