# Warnings for the project's own targets; third-party headers come in as system includes.
function(trazo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(TRAZO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
