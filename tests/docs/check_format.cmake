# Every C++ file of the tree as .clang-format lays it out: clang-format's dry run, its
# complaints turned into errors. Build folders and the layer check's sample tree are left out.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.hpp ${SOURCE_DIR}/*.h)
list(FILTER sources EXCLUDE REGEX "^(build[^/]*|tests/docs/layer_violation|\\.git)/")
list(FILTER sources EXCLUDE REGEX "(^|/)node_modules/")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result ERROR_VARIABLE complaints)
if(NOT result EQUAL 0)
  message(NOTICE "${complaints}")
  message(FATAL_ERROR "Files are not laid out as .clang-format says: clang-format -i them")
endif()
list(LENGTH sources count)
message(STATUS "${count} files laid out as .clang-format says")
