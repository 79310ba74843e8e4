# Third-party libraries and the helpers that every folder uses.
#
# nlohmann-json, CLI11 and fmt come from Debian's -dev packages. All three are
# used header-only, so the cross build for Windows can use the very same headers:
# it sees them through a folder of links instead of the whole of /usr/include.

add_library(driverwyr_third_party INTERFACE)
target_compile_definitions(driverwyr_third_party INTERFACE FMT_HEADER_ONLY=1)
if(CMAKE_CROSSCOMPILING)
  set(_tp "${CMAKE_BINARY_DIR}/third_party/include")
  file(MAKE_DIRECTORY "${_tp}")
  foreach(_dir nlohmann CLI fmt)
    if(NOT EXISTS "/usr/include/${_dir}")
      message(FATAL_ERROR "/usr/include/${_dir} is missing: install the Debian package that provides it")
    endif()
    if(NOT EXISTS "${_tp}/${_dir}")
      file(CREATE_LINK "/usr/include/${_dir}" "${_tp}/${_dir}" SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(driverwyr_third_party SYSTEM INTERFACE "${_tp}")
else()
  find_package(nlohmann_json 3 REQUIRED)
  find_path(CLI11_INCLUDE_DIR CLI/CLI.hpp REQUIRED)
  find_path(FMT_INCLUDE_DIR fmt/format.h REQUIRED)
  target_link_libraries(driverwyr_third_party INTERFACE nlohmann_json::nlohmann_json)
  target_include_directories(driverwyr_third_party SYSTEM INTERFACE "${CLI11_INCLUDE_DIR}" "${FMT_INCLUDE_DIR}")
endif()

# Eigen (libeigen3-dev, header-only) for the least-squares fits of the
# material calibration. Static alignment is off: the 32-bit Windows build
# cannot rely on a 16-byte aligned stack, and every build computes alike.
add_library(driverwyr_eigen INTERFACE)
target_compile_definitions(driverwyr_eigen INTERFACE EIGEN_MAX_STATIC_ALIGN_BYTES=0 EIGEN_MPL2_ONLY)
if(CMAKE_CROSSCOMPILING)
  if(NOT EXISTS "/usr/include/eigen3/Eigen")
    message(FATAL_ERROR "/usr/include/eigen3 is missing: install libeigen3-dev")
  endif()
  if(NOT EXISTS "${_tp}/Eigen")
    file(CREATE_LINK "/usr/include/eigen3/Eigen" "${_tp}/Eigen" SYMBOLIC)
  endif()
  target_include_directories(driverwyr_eigen SYSTEM INTERFACE "${_tp}")
else()
  find_package(Eigen3 3.3 REQUIRED NO_MODULE)
  target_link_libraries(driverwyr_eigen INTERFACE Eigen3::Eigen)
endif()

# GoogleTest: the native builds use Debian's libraries; the Windows build compiles
# Debian's sources (package googletest) with the cross compiler.
macro(driverwyr_find_gtest)
  if(CMAKE_CROSSCOMPILING)
    if(NOT TARGET gtest)
      set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(_saved_flags "${CMAKE_CXX_FLAGS}")
      add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
      foreach(_t gtest gtest_main gmock gmock_main)
        target_compile_options(${_t} PRIVATE -Wno-error)
      endforeach()
      # googletest's own CMake defines the GTest:: aliases.
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endmacro()
