# cmake -DRUNNER=orvdlg -DSOURCE_DIR=dir -DWORK_DIR=dir -DNAME=name -DEXPECTED_EXIT=N -P RunScenario.cmake
# Copies the scenario folder into WORK_DIR, runs `orvdlg run NAME.dlgs` there and checks the
# exit status and, when NAME.out exists, the whole output.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(GLOB files "${SOURCE_DIR}/*")
list(FILTER files EXCLUDE REGEX "(CMakeLists\\.txt|\\.cmake)$")
file(COPY ${files} DESTINATION "${WORK_DIR}")
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
