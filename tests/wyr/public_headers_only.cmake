# Checks that wyr's own parts (main.cpp and the folders job/, listings/,
# commands/, platform/) compile with the driver's public headers alone: no
# compile command of theirs names the driver's src/ folder as an include
# folder. COMMANDS is the build's compile_commands.json, SOURCE the project.
file(READ ${COMMANDS} json)
string(JSON count LENGTH "${json}")
math(EXPR last "${count} - 1")
set(checked 0)
set(offending "")
foreach(i RANGE ${last})
  string(JSON file GET "${json}" ${i} file)
  string(JSON command GET "${json}" ${i} command)
  # The objects of the program wyr itself and of its job and listings libraries.
  if(NOT command MATCHES " -o [^ ]*CMakeFiles/(wyr|wyr_output|wyr_job|wyr_listings)\\.dir/")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  if(command MATCHES "(-I|-isystem |-iquote )${SOURCE}/src( |$)")
    list(APPEND offending ${file})
  endif()
endforeach()
if(checked EQUAL 0)
  message(FATAL_ERROR "no compile command of wyr found in ${COMMANDS}")
endif()
if(offending)
  message(FATAL_ERROR "compiled with the driver's src/ on the include path: ${offending}")
endif()
message(STATUS "${checked} sources of wyr compile with the public headers alone")
