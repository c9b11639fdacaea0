# Runs the host with ARGS (separated by |) and fails unless it exits with EXPECTED and its
# standard error contains MESSAGE.
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${TRAZO} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${err}" "${MESSAGE}" at)
if(NOT rc EQUAL EXPECTED OR at EQUAL -1)
  message(FATAL_ERROR "exit ${rc} (expected ${EXPECTED})\nstdout:\n${out}\nstderr:\n${err}")
endif()
