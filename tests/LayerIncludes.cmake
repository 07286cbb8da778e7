# cmake -DSOURCE_DIR=dir -P LayerIncludes.cmake
# Every #include "ROOT/..." of a layer names that layer or one below it (docs/architecture.md):
# the front ends and the rest of platform/ see platform/ only, and the front ends' own tests
# platform/ and tests/support only. Lists every include that reaches up, with its line.
cmake_minimum_required(VERSION 3.25)
set(rules
  "platform|platform"
  "tools|tools platform"
  "host|host platform"
  "components|components host platform"
  "dialogs|dialogs components host platform"
  "tests/frontends|platform support")
set(faults "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" fields "${rule}")
  list(GET fields 0 folder)
  list(GET fields 1 allowed)
  set(shown "${allowed}")
  string(REPLACE " " ";" allowed "${allowed}")
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "^#include \"[A-Za-z_]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^#include \"([A-Za-z_]+)/.*" "\\1" root "${line}")
      if(NOT root IN_LIST allowed)
        file(RELATIVE_PATH where "${SOURCE_DIR}" "${source}")
        string(APPEND faults "  ${where}: ${line} (${folder} may include ${shown})\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes that reach above their layer:\n${faults}")
endif()
