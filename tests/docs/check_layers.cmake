# Holds every include of the tree to the layer order written in docs/architecture.md: a file
# may include headers of its own folder and of folders at lower levels, never of a higher
# level, nor of another folder at its own level. The order is read from the page's table
# between the markers <!-- layers ... --> and <!-- /layers -->, one row a folder, lowest first:
#   | level | `folder/` | what it holds |
# and the folders that stand outside the layers (tests, benchmarks...) from the line
#   Outside the layers: `tests/`, `bench/`, ...
# Every other folder of the tree holding C++ sources must be in the table.
# Run as: cmake -DSOURCE_DIR=<tree> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED SOURCE_DIR)
  message(FATAL_ERROR "pass -DSOURCE_DIR=<the source tree>")
endif()
set(page "${SOURCE_DIR}/docs/architecture.md")
if(NOT EXISTS "${page}")
  message(FATAL_ERROR "${page}: missing; it holds the layer order")
endif()

# The table, as the page writes it.
file(READ "${page}" text)
string(FIND "${text}" "<!-- layers" begin)
string(FIND "${text}" "<!-- /layers -->" end)
if(begin EQUAL -1 OR end EQUAL -1 OR end LESS begin)
  message(FATAL_ERROR "${page}: no table between <!-- layers ... --> and <!-- /layers -->")
endif()
string(SUBSTRING "${text}" ${begin} ${end}-${begin} table)
string(REPLACE ";" "," table "${table}")
string(REPLACE "\n" ";" rows "${table}")
set(folders "")
set(outside "")
foreach(row IN LISTS rows)
  if(row MATCHES "^\\| *([0-9]+) *\\| *`([a-z0-9_/]+)/` *\\|")
    set(folder "${CMAKE_MATCH_2}")
    set(level_${folder} ${CMAKE_MATCH_1})
    list(APPEND folders "${folder}")
  elseif(row MATCHES "^Outside the layers:(.*)$")
    string(REGEX MATCHALL "`[a-z0-9_/]+/`" names "${CMAKE_MATCH_1}")
    foreach(name IN LISTS names)
      string(REGEX REPLACE "^`(.*)/`$" "\\1" name "${name}")
      list(APPEND outside "${name}")
    endforeach()
  endif()
endforeach()
list(LENGTH folders layer_count)
if(layer_count LESS 2)
  message(FATAL_ERROR "${page}: the layer table has ${layer_count} rows; expected one row a folder")
endif()

# The layer folder a path lies in: the longest folder of the table it starts with.
function(layer_of path result)
  set(best "")
  foreach(folder IN LISTS folders)
    string(LENGTH "${folder}" length)
    string(LENGTH "${best}" best_length)
    if(path MATCHES "^${folder}/" AND length GREATER best_length)
      set(best "${folder}")
    endif()
  endforeach()
  set(${result} "${best}" PARENT_SCOPE)
endfunction()

set(faults "")

# Every folder with C++ sources is in a layer or outside them all. Build folders (they hold a
# CMakeCache.txt) and hidden ones are not the tree's.
function(check_covered dir)
  file(GLOB entries RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${dir}*")
  foreach(entry IN LISTS entries)
    get_filename_component(name "${entry}" NAME)
    if(NOT IS_DIRECTORY "${SOURCE_DIR}/${entry}" OR name MATCHES "^\\." OR EXISTS "${SOURCE_DIR}/${entry}/CMakeCache.txt")
      continue()
    endif()
    if(entry IN_LIST folders OR entry IN_LIST outside)
      continue()
    endif()
    set(holds_layers FALSE)
    foreach(folder IN LISTS folders)
      if(folder MATCHES "^${entry}/")
        set(holds_layers TRUE)
      endif()
    endforeach()
    if(holds_layers)
      check_covered("${entry}/")
    else()
      file(GLOB_RECURSE sources "${SOURCE_DIR}/${entry}/*.cpp" "${SOURCE_DIR}/${entry}/*.hpp" "${SOURCE_DIR}/${entry}/*.h")
      if(sources)
        string(APPEND faults "${entry}/ holds C++ sources but is in no layer of docs/architecture.md\n")
      endif()
    endif()
  endforeach()
  set(faults "${faults}" PARENT_SCOPE)
endfunction()
check_covered("")

# Every include of every layer.
set(include_count 0)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
    "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.hpp" "${SOURCE_DIR}/${folder}/*.h"
    "${SOURCE_DIR}/${folder}/*.inc" "${SOURCE_DIR}/${folder}/*.rc")
  foreach(source IN LISTS sources)
    layer_of("${source}" own)
    if(NOT own STREQUAL folder)
      continue()  # in a layer nested below this one, checked as that layer's
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
      math(EXPR include_count "${include_count} + 1")
      layer_of("${included}" target)
      if(target STREQUAL "")
        # A header beside the file, or the system's; a folder of the tree outside the layers
        # is out of reach.
        string(REGEX MATCH "^[^/]+" first "${included}")
        if(included MATCHES "/" AND IS_DIRECTORY "${SOURCE_DIR}/${first}")
          string(APPEND faults "${source} includes \"${included}\", outside every layer\n")
        endif()
      elseif(NOT target STREQUAL own)
        if(level_${target} GREATER level_${own})
          string(APPEND faults "${source} includes \"${included}\": ${target}/ (level ${level_${target}}) is above ${own}/ (level ${level_${own}})\n")
        elseif(level_${target} EQUAL level_${own})
          string(APPEND faults "${source} includes \"${included}\": ${target}/ and ${own}/ are at one level (${level_${own}})\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(NOT faults STREQUAL "")
  # One fault a line, unwrapped; then the failure.
  message(NOTICE "${faults}")
  message(FATAL_ERROR "The layer order of docs/architecture.md is broken")
endif()
message(STATUS "${layer_count} layer folders, ${include_count} includes, all in order")
