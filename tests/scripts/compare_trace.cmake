# Runs one golden script and compares what trazo prints with the stored expectation.
if(EXISTS ${DIR}/${FEATURE}.rejected)
  execute_process(COMMAND ${TRAZO} trace --twips 4000x2000 ${FEATURE}.trz
    WORKING_DIRECTORY ${DIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ ${DIR}/${FEATURE}.rejected expected)
  if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT err STREQUAL expected)
    message(FATAL_ERROR "exit ${rc}\nstdout:\n${out}\nstderr:\n${err}\nexpected stderr:\n${expected}")
  endif()
else()
  execute_process(COMMAND ${TRAZO} trace --twips 4000x2000 ${FEATURE}.trz
    WORKING_DIRECTORY ${DIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ ${DIR}/${FEATURE}.trace expected)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "exit ${rc}\nstderr:\n${err}\nstdout:\n${out}\nexpected:\n${expected}")
  endif()
endif()
