# What `cmake --install` puts under the prefix, for hosts that load the dialog library:
#   lib/        libDataModelDialogs.so, the libraries it stands on (platform, host) and the
#               outside components (OrvComponents), the satellites in lib/Locale and the
#               default coefficient library beside the library
#   include/DataModelDialogs/
#               the headers of the exported interfaces and of the host-side pieces a host
#               calls (model file, component registration, scripted driver), with every
#               header of ours they include, and nothing else
#   lib/cmake/DataModelDialogs/   the CMake package: find_package(DataModelDialogs CONFIG)
#                                 gives DataModelDialogs::DataModelDialogs and friends
#   lib/pkgconfig/DataModelDialogs.pc
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(orv_package DataModelDialogs)
set(orv_install_cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/${orv_package})
set(orv_install_includedir ${CMAKE_INSTALL_INCLUDEDIR}/${orv_package})

set(orv_installed_libraries DataModelDialogs OrvComponents host platform)
# The libraries find each other (and their satellites) in their own folder.
set_target_properties(${orv_installed_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${orv_installed_libraries} EXPORT ${orv_package}Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${orv_install_includedir})
install(EXPORT ${orv_package}Targets NAMESPACE ${orv_package}:: DESTINATION ${orv_install_cmakedir})

# Satellites (the languages of dialogs/resources/Locale; test satellites are not shipped) and
# the default coefficient library.
get_property(orv_satellites GLOBAL PROPERTY ORV_SHIPPED_SATELLITES)
install(FILES ${orv_satellites} DESTINATION ${CMAKE_INSTALL_LIBDIR}/Locale)
get_property(orv_default_library GLOBAL PROPERTY ORV_DEFAULT_COEFFICIENT_LIBRARY)
if(orv_default_library)
  install(FILES ${orv_default_library} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# The public headers, found by following the project's own includes from these.
set(orv_public_headers
  dialogs/factory/DataModelDialogs.h
  dialogs/factory/ASettingsDialogs.h
  dialogs/objectdialogs/UnitConverterWindowUtility.h
  components/Registration.h
  host/model/ModelFile.h
  host/model/DbDesignScenario.h
  platform/drivers/scripted/ScriptedDriver.h
  platform/drivers/scripted/UiCommands.h
  platform/win/Driver.h)
install(CODE "set(ORV_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
set(ORV_PUBLIC_HEADERS \"${orv_public_headers}\")
set(ORV_HEADER_DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${orv_install_includedir}\")")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/OrvInstallHeaders.cmake)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/DataModelDialogsConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/${orv_package}Config.cmake INSTALL_DESTINATION ${orv_install_cmakedir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/${orv_package}ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${orv_package}Config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/${orv_package}ConfigVersion.cmake
        DESTINATION ${orv_install_cmakedir})

configure_file(${CMAKE_CURRENT_LIST_DIR}/DataModelDialogs.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${orv_package}.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${orv_package}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
