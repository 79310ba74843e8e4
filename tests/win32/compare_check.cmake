# Runs "wyr check" on a job with the Linux wyr and with wyr.exe under Wine and
# compares what they print, leaving out the lines that show paths (each
# platform writes them in its own form).
execute_process(COMMAND ${NATIVE_WYR} check ${JOB} OUTPUT_VARIABLE linux RESULT_VARIABLE linux_rc)
# Wine maps the Unix root to drive Z:.
string(REPLACE "/" "\\" windows_job "Z:${JOB}")
execute_process(COMMAND ${WINE_RUN} ${WYR_EXE} check ${windows_job} OUTPUT_VARIABLE windows RESULT_VARIABLE windows_rc)
if(NOT linux_rc EQUAL 0 OR NOT windows_rc EQUAL 0)
  message(FATAL_ERROR "wyr check failed: Linux ${linux_rc}, Windows ${windows_rc}\n${windows}")
endif()
foreach(side linux windows)
  string(REPLACE "\r\n" "\n" ${side} "${${side}}")
  string(REGEX REPLACE "(^|\n)path [^\n]*" "\\1" ${side} "${${side}}")
endforeach()
if(NOT linux STREQUAL windows)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/check-linux.txt "${linux}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/check-windows.txt "${windows}")
  message(FATAL_ERROR "wyr.exe check differs from the Linux wyr check: see check-linux.txt and check-windows.txt")
endif()
string(LENGTH "${linux}" size)
message(STATUS "wyr check output identical on both platforms (${size} bytes)")
