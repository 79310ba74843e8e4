# Cross build for 64-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64): the same DLL and wyr.exe for 64-bit hosts. The test
# command uses it for the Windows tests on machines whose kernel cannot run
# 32-bit programs, where the 32-bit Wine cannot start.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under the 64-bit Wine; scripts/wine64-run sets up a private
# 64-bit prefix.
set(DRIVERWYR_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64-run")
set(CMAKE_CROSSCOMPILING_EMULATOR "${DRIVERWYR_WINE_RUN}")
set(DRIVERWYR_OBJDUMP x86_64-w64-mingw32-objdump)
set(DRIVERWYR_PE_FORMAT pei-x86-64)
