# The default coefficient library OrvDefault.cclib, written at build time beside the library
# (bin/) by a generator built from the library's own coefficient code, so the file always has
# the current format. Everything that uses the dialog objects waits for it.
if(ORV_FUZZ)
  return()
endif()
set(orv_cclib_sources
  ${PROJECT_SOURCE_DIR}/dialogs/resources/OrvDefaultGenerator.cpp
  ${PROJECT_SOURCE_DIR}/dialogs/convection/DefaultCoefficientLibrary.cpp
  ${PROJECT_SOURCE_DIR}/dialogs/convection/ConvectionCoefficientLibrary.cpp
  ${PROJECT_SOURCE_DIR}/dialogs/convection/ConvectionCoefficientEntry.cpp
  ${PROJECT_SOURCE_DIR}/dialogs/convection/ConvectionCoefficientInputs.cpp)
add_executable(orv_make_default_cclib ${orv_cclib_sources})
target_include_directories(orv_make_default_cclib PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(orv_make_default_cclib PRIVATE host platform)
set(orv_default_cclib ${CMAKE_BINARY_DIR}/bin/OrvDefault.cclib)
# Under the sanitizers a leak report at exit would fail the build; the unit tests check leaks.
set(orv_cclib_env)
if(ORV_SANITIZE)
  set(orv_cclib_env ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)
endif()
add_custom_command(OUTPUT ${orv_default_cclib}
  COMMAND ${orv_cclib_env} $<TARGET_FILE:orv_make_default_cclib> ${orv_default_cclib}
  DEPENDS orv_make_default_cclib
  COMMENT "Writing the default coefficient library OrvDefault.cclib"
  VERBATIM)
add_custom_target(OrvDefaultCclib ALL DEPENDS ${orv_default_cclib})
set_property(GLOBAL PROPERTY ORV_DEFAULT_COEFFICIENT_LIBRARY ${orv_default_cclib})
add_dependencies(dialogs_core OrvDefaultCclib)
