# CLI11 for the trazo host. A native build takes the Debian package's config. A cross build
# takes the same header-only library from the build machine, through an include folder of
# its own that holds nothing but a link to CLI/: the package's target names /usr/include,
# and the glibc headers there must never reach the MinGW compiler.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 REQUIRED)
elseif(NOT TARGET CLI11::CLI11)
  find_path(TRAZO_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT TRAZO_CLI11_INCLUDE_DIR)
    message(FATAL_ERROR "CLI/CLI.hpp not found: install libcli11-dev (scripts/install-deps.sh core)")
  endif()
  set(trazo_cli11_dir ${CMAKE_BINARY_DIR}/cli11-include)
  file(MAKE_DIRECTORY ${trazo_cli11_dir})
  file(CREATE_LINK ${TRAZO_CLI11_INCLUDE_DIR}/CLI ${trazo_cli11_dir}/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${trazo_cli11_dir})
endif()
