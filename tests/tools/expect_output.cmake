# Runs the host with ARGS (separated by |) and fails unless it exits with EXPECTED and its
# standard output is exactly OUTPUT, its lines separated by / instead of line ends (empty:
# nothing at all), and its standard error contains MESSAGE.
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${TRAZO} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "/" "\n" expected "${OUTPUT}")
if(NOT expected STREQUAL "")
  string(APPEND expected "\n")
endif()
string(FIND "${err}" "${MESSAGE}" at)
if(NOT rc EQUAL EXPECTED OR NOT out STREQUAL expected OR at EQUAL -1)
  message(FATAL_ERROR "exit ${rc} (expected ${EXPECTED})\nstdout:\n${out}\nexpected:\n${expected}\nstderr:\n${err}")
endif()
