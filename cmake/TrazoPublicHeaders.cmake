# The public headers: those a host includes (the entry headers of each part) and every
# project header they include in turn, no other. They are copied into
# <build>/include/trazo/, with the project's own includes turned into <trazo/...> ones, and
# installed from there; the source tree keeps its short includes ("control/trazo.hpp").
# shells/qt and shells/png become trazo/qt and trazo/png.
#
#   trazo_public_headers(<out-var> <entry header> ...)
# sets <out-var> to the copies, as paths under <build>/include.
set(TRAZO_PUBLIC_INCLUDE_DIR ${PROJECT_BINARY_DIR}/include)

function(_trazo_public_path source out_var)
  string(REGEX REPLACE "^shells/" "" path "${source}")
  set(${out_var} "trazo/${path}" PARENT_SCOPE)
endfunction()

function(trazo_public_headers out_var)
  set(pending ${ARGN})
  set(seen)
  while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST seen)
      continue()
    endif()
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${header})
      message(FATAL_ERROR "public header ${header} includes a header that is not in the tree")
    endif()
    list(APPEND seen ${header})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${header} includes REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
      list(APPEND pending ${included})
    endforeach()
  endwhile()

  set(copies)
  foreach(header IN LISTS seen)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${header})
    file(READ ${PROJECT_SOURCE_DIR}/${header} text)
    string(REGEX REPLACE "#include \"shells/([^\"]+)\"" "#include <trazo/\\1>" text "${text}")
    string(REGEX REPLACE "#include \"([^\"]+)\"" "#include <trazo/\\1>" text "${text}")
    _trazo_public_path(${header} path)
    set(copy ${TRAZO_PUBLIC_INCLUDE_DIR}/${path})
    set(old "")
    if(EXISTS ${copy})
      file(READ ${copy} old)
    endif()
    if(NOT old STREQUAL text)
      file(WRITE ${copy} "${text}")
    endif()
    list(APPEND copies ${copy})
  endforeach()
  set(${out_var} ${copies} PARENT_SCOPE)
endfunction()
