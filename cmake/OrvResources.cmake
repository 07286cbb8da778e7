# Resource modules: resource scripts compiled by orvrc at build time.
#
# orv_add_resource_module(TARGET RC_FILE [NAME module-name] [INCLUDES dir...])
#   Compiles RC_FILE and links its resources into TARGET (a library or an executable): they
#   register themselves as that binary's resources when it is loaded. The script and every
#   header and image it reads are dependencies.
#
# orv_add_satellite(NAME RC_FILE OUTPUT_DIR dir [OUTPUT_NAME file-name] [INCLUDES dir...])
#   Builds a satellite: a shared object named OUTPUT_NAME (default NAME.so) in OUTPUT_DIR that
#   carries only the resources of RC_FILE, its file version among them, and runs no code.

if(COMMAND orv_add_resource_module)
  return()
endif()

function(_orv_compile_resources out_var rc name kind)
  cmake_parse_arguments(ARG "" "" "INCLUDES" ${ARGN})
  get_filename_component(rc_abs "${rc}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(include_args)
  foreach(dir IN LISTS ARG_INCLUDES)
    get_filename_component(dir_abs "${dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND include_args -I "${dir_abs}")
  endforeach()
  set(extra)
  if(kind STREQUAL "satellite")
    set(extra --satellite)
  endif()
  set(out "${CMAKE_CURRENT_BINARY_DIR}/orvres/${name}_${kind}.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND orvrc ${include_args} ${extra} --name "${name}" --depfile "${out}.d" -o "${out}" "${rc_abs}"
    DEPENDS orvrc "${rc_abs}"
    DEPFILE "${out}.d"
    COMMENT "Compiling resource script ${rc}"
    VERBATIM)
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

function(orv_add_resource_module target rc)
  cmake_parse_arguments(ARG "" "NAME" "INCLUDES" ${ARGN})
  if(NOT ARG_NAME)
    get_filename_component(ARG_NAME "${rc}" NAME_WE)
  endif()
  _orv_compile_resources(source "${rc}" "${target}_${ARG_NAME}" linked INCLUDES ${ARG_INCLUDES})
  target_sources(${target} PRIVATE "${source}")
  # The generating rule belongs to this folder; a target of its own makes it run even when
  # TARGET was made in another folder.
  add_custom_target(${target}_${ARG_NAME}_resources DEPENDS "${source}")
  add_dependencies(${target} ${target}_${ARG_NAME}_resources)
endfunction()

function(orv_add_satellite name rc)
  cmake_parse_arguments(ARG "" "OUTPUT_DIR;OUTPUT_NAME" "INCLUDES" ${ARGN})
  if(NOT ARG_OUTPUT_DIR)
    message(FATAL_ERROR "orv_add_satellite(${name}): OUTPUT_DIR is required")
  endif()
  if(NOT ARG_OUTPUT_NAME)
    set(ARG_OUTPUT_NAME "${name}.so")
  endif()
  _orv_compile_resources(source "${rc}" "${name}" satellite INCLUDES ${ARG_INCLUDES})
  add_library(${name} MODULE "${source}")
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX "" OUTPUT_NAME "${ARG_OUTPUT_NAME}"
    LIBRARY_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIR}")
endfunction()
