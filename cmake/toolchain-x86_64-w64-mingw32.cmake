# Cross-building for 64-bit Windows with the Debian MinGW-w64 compilers.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRAZO_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
