# cmake -DRUNNER=orvdlg -DSOURCE_DIR=dir -DWORK_DIR=dir -DNAME=name -DEXPECTED_EXIT=N [-DKEEP_LOCALE=ON] -P RunScenario.cmake
# Copies the scenario folder into WORK_DIR, runs `orvdlg run NAME.dlgs` there and checks the
# exit status and, when NAME.out exists, the whole output. A comment line "# locale: NAME" in the
# script sets LC_ALL for the run.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(GLOB files "${SOURCE_DIR}/*")
list(FILTER files EXCLUDE REGEX "(CMakeLists\\.txt|\\.cmake)$")
file(COPY ${files} DESTINATION "${WORK_DIR}")
# Each run has its own registry and user data folder, so parallel runs and the person's own
# settings never meet, and English unless the test itself chose a locale (KEEP_LOCALE).
set(ENV{ORV_REGISTRY_DIR} "${WORK_DIR}/.registry")
set(ENV{ORV_USER_DATA_DIR} "${WORK_DIR}/.userdata")
if(NOT KEEP_LOCALE)
  set(ENV{LC_ALL} "C")
  unset(ENV{ORVEN_LOCALE_OVERRIDE})
  # A script may name the user's locale in a comment line: "# locale: de_DE.UTF-8".
  file(STRINGS "${SOURCE_DIR}/${NAME}.dlgs" locale_line LIMIT_COUNT 1 REGEX "^# *locale: *[^ ]+")
  if(locale_line)
    string(REGEX REPLACE "^# *locale: *([^ ]+).*" "\\1" locale_name "${locale_line}")
    set(ENV{LC_ALL} "${locale_name}")
  endif()
endif()
execute_process(COMMAND "${RUNNER}" run "${NAME}.dlgs" WORKING_DIRECTORY "${WORK_DIR}"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT "${status}" STREQUAL "${EXPECTED_EXIT}")
  message(FATAL_ERROR "${NAME}.dlgs: exit status ${status}, expected ${EXPECTED_EXIT}")
endif()
if(EXISTS "${SOURCE_DIR}/${NAME}.out")
  file(READ "${SOURCE_DIR}/${NAME}.out" expected)
  if(NOT output STREQUAL expected)
    file(WRITE "${WORK_DIR}/${NAME}.actual" "${output}")
    execute_process(COMMAND diff -u "${SOURCE_DIR}/${NAME}.out" "${WORK_DIR}/${NAME}.actual")
    message(FATAL_ERROR "${NAME}.dlgs: the output differs from ${NAME}.out (got ${WORK_DIR}/${NAME}.actual)")
  endif()
endif()
