# What the two MinGW-w64 cross builds share (cmake/mingw-i686.cmake and
# cmake/mingw-x86_64.cmake set DRIVERWYR_MINGW_TRIPLET, the processor, the
# Wine runner and the PE format, then include this).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${DRIVERWYR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRIVERWYR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DRIVERWYR_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DRIVERWYR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine, through the runner, which sets up a private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${DRIVERWYR_WINE_RUN}")
set(DRIVERWYR_OBJDUMP ${DRIVERWYR_MINGW_TRIPLET}-objdump)
