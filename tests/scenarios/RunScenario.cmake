# cmake -DRUNNER=orvdlg -DSCRIPT=file.dlgs -DEXPECTED_EXIT=N -DGOLDEN=file.out -P RunScenario.cmake
# Runs one scenario script and checks its exit status and, when the golden file exists, its
# output.
execute_process(COMMAND ${RUNNER} run ${SCRIPT}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT "${status}" STREQUAL "${EXPECTED_EXIT}")
  message(FATAL_ERROR "${SCRIPT}: exit status ${status}, expected ${EXPECTED_EXIT}")
endif()
if(EXISTS "${GOLDEN}")
  file(READ "${GOLDEN}" expected)
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "${SCRIPT}: the output differs from ${GOLDEN}")
  endif()
endif()
