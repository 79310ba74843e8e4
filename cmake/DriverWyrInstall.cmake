# What `cmake --install` puts into the prefix:
#   bin/      wyr (wyr.exe), and on Windows DriverWyr.dll
#   lib/      libdriverwyr.so.1.0.0 with its links; on Windows the import
#             library libDriverWyr.dll.a and DriverWyr.def
#   include/driverwyr/                 the public headers and driverwyr_c.json,
#                                      the description of the C interface
#   lib/cmake/DriverWyr/               the CMake package: DriverWyr::driverwyr
#   lib/pkgconfig/driverwyr.pc         for pkg-config (Linux)
#   lib/python3/site-packages/driverwyr/  the Python package (docs/python.md): put
#                                      this folder on PYTHONPATH; it finds the
#                                      library and description of its prefix
#   share/doc/DriverWyr/               README, docs/ and examples/ as in the source tree
#   share/DriverWyr/csharp/DriverWyr.cs the C# bindings, a source file hosts compile in
include(CMakePackageConfigHelpers)

set(DRIVERWYR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/DriverWyr)

install(TARGETS DriverWyr EXPORT DriverWyrTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS wyr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT WIN32)
  # The installed wyr finds the library beside it in the prefix.
  set_target_properties(wyr PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
endif()

set(DRIVERWYR_PUBLIC_HEADERS
  bgauge.h cstring.h dialog.h driverwyr.h driverwyr_c.h driverwyr_c_fields.h driverwyr_c_report.h export.h host.h machine.h
  memory_dialog.h operator_script.h preflight.h record_array.h record_fields.h setup.h sheet.h step_info.h
  tool.h escape.h files.h program_text.h material_data.h program_format.h result.h units.h)
list(TRANSFORM DRIVERWYR_PUBLIC_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/include/driverwyr/)
# The list is the package's contract: a header missing from the tree stops
# the configuration instead of the installation.
foreach(header ${DRIVERWYR_PUBLIC_HEADERS})
  if(NOT EXISTS ${header})
    message(FATAL_ERROR "public header ${header} is listed for installation but missing")
  endif()
endforeach()
install(FILES ${DRIVERWYR_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/driverwyr)
# The description of the C interface the build made (driverwyr_c.json).
get_target_property(DRIVERWYR_C_DESCRIPTION driverwyr_c_description DESCRIPTION_FILE)
install(FILES ${DRIVERWYR_C_DESCRIPTION} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/driverwyr)
# The C# bindings generated from it: a source file, not a header, so beside
# the package's data rather than in include/.
get_target_property(DRIVERWYR_CSHARP_SOURCE driverwyr_csharp SOURCE_FILE)
install(FILES ${DRIVERWYR_CSHARP_SOURCE} DESTINATION ${CMAKE_INSTALL_DATADIR}/DriverWyr/csharp)

# The Python package, pure Python and the same for every Python 3, so in one
# folder independent of the Python version. Its _location.py is made here:
# the library and the description as paths relative to the package.
set(DRIVERWYR_PYTHON_DIR ${CMAKE_INSTALL_LIBDIR}/python3/site-packages/driverwyr)
install(FILES
  ${PROJECT_SOURCE_DIR}/bindings/python/driverwyr/__init__.py
  ${PROJECT_SOURCE_DIR}/bindings/python/driverwyr/_host.py
  ${PROJECT_SOURCE_DIR}/bindings/python/driverwyr/_library.py
  ${PROJECT_SOURCE_DIR}/bindings/python/driverwyr/_records.py
  ${PROJECT_SOURCE_DIR}/bindings/python/driverwyr/_run.py
  DESTINATION ${DRIVERWYR_PYTHON_DIR})
if(WIN32)
  set(DRIVERWYR_LIBRARY_DIR ${CMAKE_INSTALL_BINDIR})
else()
  set(DRIVERWYR_LIBRARY_DIR ${CMAKE_INSTALL_LIBDIR})
endif()
file(RELATIVE_PATH DRIVERWYR_PYTHON_TO_LIBRARY /prefix/${DRIVERWYR_PYTHON_DIR} /prefix/${DRIVERWYR_LIBRARY_DIR})
file(RELATIVE_PATH DRIVERWYR_PYTHON_TO_INCLUDE /prefix/${DRIVERWYR_PYTHON_DIR} /prefix/${CMAKE_INSTALL_INCLUDEDIR})
string(REGEX REPLACE "/$" "" DRIVERWYR_PYTHON_TO_LIBRARY "${DRIVERWYR_PYTHON_TO_LIBRARY}")
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/python/_location.py CONTENT
"\"\"\"Where the library and its description lie relative to this package,
in the prefix it was installed into.\"\"\"
LIBRARY = \"${DRIVERWYR_PYTHON_TO_LIBRARY}/$<TARGET_FILE_NAME:DriverWyr>\"
DESCRIPTION = \"${DRIVERWYR_PYTHON_TO_INCLUDE}/driverwyr/driverwyr_c.json\"
")
install(FILES ${CMAKE_BINARY_DIR}/python/_location.py DESTINATION ${DRIVERWYR_PYTHON_DIR})

# The README and the guides keep the source tree's layout, so that their links
# hold where they are installed: README.md, docs/ (guides and pictures) and
# examples/ (the example job, its material and conversion files, the example
# hosts), without what a run or a build leaves in examples/.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
install(FILES
  ${PROJECT_SOURCE_DIR}/examples/bracket.json
  ${PROJECT_SOURCE_DIR}/examples/tools.cnv
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/materials ${PROJECT_SOURCE_DIR}/examples/hosts
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  PATTERN "__pycache__" EXCLUDE PATTERN "out" EXCLUDE PATTERN "build" EXCLUDE)

install(EXPORT DriverWyrTargets NAMESPACE DriverWyr:: DESTINATION ${DRIVERWYR_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/DriverWyrConfig.cmake.in
  ${CMAKE_BINARY_DIR}/DriverWyrConfig.cmake INSTALL_DESTINATION ${DRIVERWYR_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/DriverWyrConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/DriverWyrConfig.cmake ${CMAKE_BINARY_DIR}/DriverWyrConfigVersion.cmake
  DESTINATION ${DRIVERWYR_CMAKE_DIR})

if(WIN32)
  install(FILES ${CMAKE_BINARY_DIR}/bin/DriverWyr.def DESTINATION ${CMAKE_INSTALL_LIBDIR})
else()
  # pkg-config finds the prefix from where the file lies.
  file(RELATIVE_PATH DRIVERWYR_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  string(REGEX REPLACE "/$" "" DRIVERWYR_PC_TO_PREFIX "${DRIVERWYR_PC_TO_PREFIX}")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/driverwyr.pc.in ${CMAKE_BINARY_DIR}/driverwyr.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/driverwyr.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()
