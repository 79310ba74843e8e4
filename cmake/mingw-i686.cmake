# Cross build for 32-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine; scripts/wine-run sets up a private 32-bit prefix.
set(DRIVERWYR_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
set(CMAKE_CROSSCOMPILING_EMULATOR "${DRIVERWYR_WINE_RUN}")
set(DRIVERWYR_OBJDUMP i686-w64-mingw32-objdump)
set(DRIVERWYR_PE_FORMAT pei-i386)
# Single-precision arithmetic on SSE2, as on x86-64: without it the x87 unit
# keeps excess precision and the same job could give other bytes on Windows.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
