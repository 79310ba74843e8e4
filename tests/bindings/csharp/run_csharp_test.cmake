# Compiles SOURCES (separated by |) with MCS (DRIVERWYR_COUNT_CALLS defined, warnings as
# errors) and runs the program with MONO in a fresh WORK folder, loading the
# library LIBRARY through LD_LIBRARY_PATH and keeping its serial counter key
# under WORK; EXAMPLES holds the materials and conversion file.
foreach(var MCS MONO SOURCES LIBRARY EXAMPLES WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_csharp_test.cmake: ${var} is not set")
  endif()
endforeach()
string(REPLACE "|" ";" SOURCES "${SOURCES}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${MCS} -warnaserror -d:DRIVERWYR_COUNT_CALLS -out:${WORK}/BindingsTest.exe ${SOURCES}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "mcs failed")
endif()
get_filename_component(library_dir ${LIBRARY} DIRECTORY)
execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${library_dir} XDG_CONFIG_HOME=${WORK}/config TZ=UTC
                        ${MONO} --debug ${WORK}/BindingsTest.exe ${EXAMPLES} ${WORK}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the C# bindings test failed (${rc})")
endif()
