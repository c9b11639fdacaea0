# The same bits on every platform: no fused multiply-add where the source has two
# operations, so that each multiplication and addition is rounded on its own.
# trazo_exact_floating_point(<target>) does so for the whole target,
# trazo_exact_floating_point(<target> SOURCES <file>...) for those of its sources only.
function(trazo_exact_floating_point target)
  cmake_parse_arguments(EXACT "" "" "SOURCES" ${ARGN})
  if(EXACT_SOURCES)
    set_property(SOURCE ${EXACT_SOURCES} TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_OPTIONS -ffp-contract=off)
  else()
    target_compile_options(${target} PRIVATE -ffp-contract=off)
  endif()
endfunction()
