# Cross build for 32-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-i686).
set(DRIVERWYR_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DRIVERWYR_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
set(DRIVERWYR_PE_FORMAT pei-i386)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Single-precision arithmetic on SSE2, as on x86-64: without it the x87 unit
# keeps excess precision and the same job could give other bytes on Windows.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
