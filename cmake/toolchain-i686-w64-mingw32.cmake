# Cross-building for Windows with the Debian MinGW-w64 compilers (i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TRAZO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TRAZO_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TRAZO_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TRAZO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRAZO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The core's floating-point checks expect IEEE double arithmetic; x87 registers would carry
# extended precision and let an overflow pass unnoticed.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
