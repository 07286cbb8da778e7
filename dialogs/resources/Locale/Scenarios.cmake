# Scenario scripts that need the locale in the environment (tests/dialogs/factory/scenarios):
# each runs like the scripts of tests/scenarios, with ORVEN_LOCALE_OVERRIDE and the user's
# locale as listed here.
if(ORV_BUILD_TESTS)
  set(scenario_dir ${PROJECT_SOURCE_DIR}/tests/dialogs/factory/scenarios)
  # name, override ("-": not set), LC_ALL
  set(locale_scenarios
    "locale-deu|DEU|C"
    "convection-deu|DEU|C"
    "heat-exchange-deu|DEU|C"
    "locale-other-build|OLD|C"
    "locale-user-german|-|de_DE.UTF-8")
  foreach(entry IN LISTS locale_scenarios)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 forced)
    list(GET fields 2 lc_all)
    set(env LC_ALL=${lc_all})
    if(forced STREQUAL "-")
      set(unset --unset=ORVEN_LOCALE_OVERRIDE)
    else()
      set(unset)
      list(APPEND env ORVEN_LOCALE_OVERRIDE=${forced})
    endif()
    add_test(NAME scenario.${name}
      COMMAND ${CMAKE_COMMAND} -E env ${unset} ${env}
              ${CMAKE_COMMAND} -DRUNNER=$<TARGET_FILE:orvdlg> -DSOURCE_DIR=${scenario_dir}
              -DWORK_DIR=${CMAKE_BINARY_DIR}/testtmp/scenarios/${name} -DNAME=${name} -DEXPECTED_EXIT=0 -DKEEP_LOCALE=ON
              -P ${PROJECT_SOURCE_DIR}/tests/scenarios/RunScenario.cmake)
    set_tests_properties(scenario.${name} PROPERTIES TIMEOUT 60)
  endforeach()
endif()
