# Cross build for 64-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64): the same DLL and wyr.exe for 64-bit hosts. The test
# command uses it for the Windows tests on machines whose kernel cannot run
# 32-bit programs, where the 32-bit Wine cannot start.
set(DRIVERWYR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DRIVERWYR_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64-run")
set(DRIVERWYR_PE_FORMAT pei-x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
