# orv_layer_sources(VAR DIR... [EXCLUDE regex]) collects the .cpp files below the given folders.
# Layers glob their sources so that adding a file to a folder needs no CMake edit; CONFIGURE_DEPENDS
# makes the build notice new files.
function(orv_layer_sources var)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DIRS" ${ARGN})
  set(result)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND result ${found})
  endforeach()
  if(ARG_EXCLUDE)
    list(FILTER result EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  set(${var} ${result} PARENT_SCOPE)
endfunction()

# A layer whose folders hold no source yet still builds (as an empty library), so that the
# targets above it can link it from the start.
function(orv_nonempty var)
  if(NOT ${var})
    set(empty ${CMAKE_CURRENT_BINARY_DIR}/${var}_empty.cpp)
    if(NOT EXISTS ${empty})
      file(WRITE ${empty} "// empty layer\n")
    endif()
    set(${var} ${empty} PARENT_SCOPE)
  endif()
endfunction()
