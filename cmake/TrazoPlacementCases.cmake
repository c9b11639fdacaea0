# The table of P1's placements (tests/placement_cases.txt) as a C++ string for the test
# programs that run it, so that each finds it wherever it runs (under Wine as well).
function(trazo_placement_cases target)
  set(table ${PROJECT_SOURCE_DIR}/tests/placement_cases.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(READ ${table} text)
  set(dir ${CMAKE_BINARY_DIR}/generated)
  file(CONFIGURE OUTPUT ${dir}/placement_cases_text.hpp
       CONTENT "// tests/placement_cases.txt, as configured.\n#pragma once\ninline constexpr char kPlacementCasesText[] = R\"table(@text@)table\";\n"
       @ONLY)
  target_include_directories(${target} PRIVATE ${dir} ${PROJECT_SOURCE_DIR}/tests)
endfunction()
