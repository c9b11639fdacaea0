# Cross-building for 32-bit Windows with the Debian MinGW-w64 compilers.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRAZO_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The core's floating-point checks expect IEEE double arithmetic; x87 registers would carry
# extended precision and let an overflow pass unnoticed.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
