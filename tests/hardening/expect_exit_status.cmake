# Runs the host with ARGS (separated by |) and fails unless it exits with EXPECTED and its
# standard error contains MESSAGE. With INPUT, that file is its standard input; with
# STDOUT, its standard output must contain that text.
string(REPLACE "|" ";" ARGS "${ARGS}")
if(DEFINED INPUT)
  execute_process(COMMAND ${TRAZO} ${ARGS} INPUT_FILE ${INPUT} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
else()
  execute_process(COMMAND ${TRAZO} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
string(FIND "${err}" "${MESSAGE}" at)
set(out_at 0)
if(DEFINED STDOUT)
  string(FIND "${out}" "${STDOUT}" out_at)
endif()
if(NOT rc EQUAL EXPECTED OR at EQUAL -1 OR out_at EQUAL -1)
  message(FATAL_ERROR "exit ${rc} (expected ${EXPECTED})\nstdout:\n${out}\nstderr:\n${err}")
endif()
