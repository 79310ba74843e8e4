# Writes driverwyr_c.json, the machine-readable description of the C
# interface, from the same tables the header is made of: the C preprocessor
# (CC) expands src/capi/c_interface_description.c (SOURCE), whose markers give
# every function of driverwyr/driverwyr_c.h and every field of the record
# table, and lists the #defines of driverwyr/dialog.h. INCLUDE is the folder
# of the public headers, OUTPUT the file written.
cmake_minimum_required(VERSION 3.20)
foreach(var CC INCLUDE SOURCE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "DescribeCInterface.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND ${CC} -E -P -I${INCLUDE} ${SOURCE}
                OUTPUT_VARIABLE expanded ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the preprocessor failed on ${SOURCE}: ${errors}")
endif()
execute_process(COMMAND ${CC} -E -dM -I${INCLUDE} ${INCLUDE}/driverwyr/dialog.h
                OUTPUT_VARIABLE defines ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the preprocessor failed on driverwyr/dialog.h: ${errors}")
endif()

# A C type as the description spells it: one space between words, none
# before a '*'.
function(describe_type text out)
  string(STRIP "${text}" text)
  string(REGEX REPLACE "[ \t\n]+" " " text "${text}")
  string(REGEX REPLACE " \\*" "*" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# ---- functions
set(functions "")
string(REGEX MATCHALL "describe_function\\(\"[A-Za-z0-9_]+\", \"[^\"]*\", \"[^\"]*\"\\)" calls "${expanded}")
foreach(call IN LISTS calls)
  string(REGEX MATCH "describe_function\\(\"([A-Za-z0-9_]+)\", \"([^\"]*)\", \"\\(([^\"]*)\\)\"\\)" _ "${call}")
  set(name "${CMAKE_MATCH_1}")
  describe_type("${CMAKE_MATCH_2}" result)
  set(parameter_list "${CMAKE_MATCH_3}")
  set(parameters "")
  if(NOT parameter_list STREQUAL "void")
    string(REPLACE "," ";" parameter_list "${parameter_list}")
    foreach(parameter IN LISTS parameter_list)
      string(STRIP "${parameter}" parameter)
      if(NOT parameter MATCHES "^(.*[^A-Za-z0-9_])([A-Za-z_][A-Za-z0-9_]*)$")
        message(FATAL_ERROR "${name}: a parameter without a name: ${parameter}")
      endif()
      set(parameter_name "${CMAKE_MATCH_2}")
      describe_type("${CMAKE_MATCH_1}" parameter_type)
      list(APPEND parameters "{\"type\": \"${parameter_type}\", \"name\": \"${parameter_name}\"}")
    endforeach()
  endif()
  list(JOIN parameters ", " parameters)
  list(APPEND functions "    {\"name\": \"${name}\", \"result\": \"${result}\", \"parameters\": [${parameters}]}")
endforeach()
list(LENGTH functions function_count)
if(function_count LESS 400)
  message(FATAL_ERROR "only ${function_count} functions found in ${SOURCE}")
endif()

# ---- fields of the record table
set(fields "")
set(part "\"[^\"]*\"")
string(REGEX MATCHALL "describe_field\\(${part}, ${part}, ${part}, ${part}, ${part}, ${part}, ${part}, ${part}\\)" calls
       "${expanded}")
foreach(call IN LISTS calls)
  string(REGEX MATCH "describe_field\\(\"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\"\\)" _ "${call}")
  set(record "${CMAKE_MATCH_1}")
  set(kind "${CMAKE_MATCH_2}")
  set(stem "${CMAKE_MATCH_3}")
  describe_type("${CMAKE_MATCH_4}" get_type)
  describe_type("${CMAKE_MATCH_5}" set_type)
  set(setter "${CMAKE_MATCH_6}")
  set(count 1)
  if(kind STREQUAL "array")
    # Rows times every further dimension: the elements copied through the
    # element pointer.
    math(EXPR count "${CMAKE_MATCH_7}")
    string(REGEX MATCHALL "\\[[^]]*\\]" dimensions "${CMAKE_MATCH_8}")
    foreach(dimension IN LISTS dimensions)
      string(REGEX REPLACE "[][]" "" dimension "${dimension}")
      math(EXPR count "${count} * (${dimension})")
    endforeach()
  endif()
  set(getter "")
  if(NOT kind STREQUAL "fieldless")
    set(getter "driverwyr_${record}_Get${stem}")
  endif()
  list(APPEND fields "    {\"record\": \"${record}\", \"kind\": \"${kind}\", \"stem\": \"${stem}\", \"type\": \"${get_type}\", \"set_type\": \"${set_type}\", \"count\": ${count}, \"getter\": \"${getter}\", \"setter\": \"driverwyr_${record}_${setter}\"}")
endforeach()

# ---- constants: the numbers and texts of driverwyr/dialog.h and the enums of
# driverwyr/driverwyr_c.h
set(constants "")
string(REGEX MATCHALL "#define DRIVERWYR_[A-Z0-9_]+ [^\n]*" lines "${defines}")
foreach(line IN LISTS lines)
  if(line MATCHES "^#define (DRIVERWYR_[A-Z0-9_]+) (-?[0-9]+|0x[0-9A-Fa-f]+)[uU]?$")
    math(EXPR value "${CMAKE_MATCH_2}")
    list(APPEND constants "    {\"name\": \"${CMAKE_MATCH_1}\", \"value\": ${value}}")
  elseif(line MATCHES "^#define (DRIVERWYR_[A-Z0-9_]+) (\"[^\"\\\\]*\")$")
    list(APPEND constants "    {\"name\": \"${CMAKE_MATCH_1}\", \"value\": ${CMAKE_MATCH_2}}")
  endif()
endforeach()
string(REGEX MATCHALL "DRIVERWYR_[A-Z0-9_]+ = [0-9]+" enumerators "${expanded}")
foreach(enumerator IN LISTS enumerators)
  string(REGEX MATCH "(DRIVERWYR_[A-Z0-9_]+) = ([0-9]+)" _ "${enumerator}")
  list(APPEND constants "    {\"name\": \"${CMAKE_MATCH_1}\", \"value\": ${CMAKE_MATCH_2}}")
endforeach()

list(JOIN functions ",\n" functions)
list(JOIN fields ",\n" fields)
list(SORT constants)
list(JOIN constants ",\n" constants)
file(WRITE "${OUTPUT}.tmp" "{\n  \"header\": \"driverwyr/driverwyr_c.h\",\n  \"calling_convention\": \"cdecl\",\n  \"bool\": \"one byte; bool arrays one byte per element\",\n  \"functions\": [\n${functions}\n  ],\n  \"fields\": [\n${fields}\n  ],\n  \"constants\": [\n${constants}\n  ]\n}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
