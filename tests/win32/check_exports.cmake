# Checks the export table of DriverWyr.dll: a DLL of the build's format
# (FORMAT: pei-i386 or pei-x86-64) exporting the entry points under their
# plain names and the record classes' members.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
if(NOT dump MATCHES "file format ${FORMAT}\n")
  message(FATAL_ERROR "${DLL} is not a ${FORMAT} image")
endif()
if(NOT dump MATCHES "DLL\n" AND NOT dump MATCHES "Characteristics [^\n]*\n[^\n]*DLL")
  message(FATAL_ERROR "${DLL} is not marked as a DLL")
endif()
set(expected
  CreatePPDBInstance DestroyPPDBInstance GetDriverID SetUnit SetPathNames
  SetMaterial_1 SetMaterial_2 InitPPSequence InitToolInfo InitSetupInfo
  InitMachineInfo InitBkGaugeInfo GenerateMachineCodeFile
  # constructors, copy, assignment and a few accessors of each record class
  _ZN11CPPStepInfoC1Ev _ZN11CPPStepInfoC1ERKS_ _ZN11CPPStepInfoaSERKS_
  _ZN11CPPStepInfo18SetNumberInSquenceEi _ZN11CPPStepInfo14SetTollReverseEPKb
  _ZN11CPPStepInfo12SetBendAngleEf _ZNK11CPPStepInfo9GetToolIDEPA32_c
  _ZN7CPPToolC1Ev _ZN7CPPTool16SetSmallorLargerEi _ZNK7CPPTool11GetToolNameEv
  _ZN10CPPMachineC1Ev _ZNK10CPPMachine17GetSignifcantSpanEv _ZN10CPPMachine16SetclampAtCerterEb
  _ZN9CPPBGaugeC1Ev _ZN9CPPBGauge14SetFingerHLeftEi
  _ZN8CPPSetupC1Ev _ZN8CPPSetup14SetControlTypeEi
  # the C interface, under plain names
  driverwyr_CPPStepInfo_create driverwyr_CPPStepInfo_SetTollReverse driverwyr_CPPMachine_GetSignifcantSpan
  driverwyr_CPPBGauge_array_at driverwyr_SetPathNames driverwyr_GenerateMachineCodeFile
  driverwyr_SetUserInterface driverwyr_dialog_command driverwyr_GetMessageText
  driverwyr_LastError driverwyr_CurrentMessageId driverwyr_GetRunResultCount driverwyr_GetRunResult)
set(missing "")
foreach(name ${expected})
  if(NOT dump MATCHES "[ \t]${name}\n")
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "missing from the export table of ${DLL}: ${missing}")
endif()
# Plain names: no decorated cdecl/stdcall forms of the entry points.
if(dump MATCHES "[ \t]_?GetDriverID@[0-9]+\n")
  message(FATAL_ERROR "decorated entry point names in ${DLL}")
endif()
# DriverWyr.def beside the DLL lists every name of the C interface that the
# export table has, so that an import library made from it links them all.
get_filename_component(dir ${DLL} DIRECTORY)
if(NOT EXISTS ${dir}/DriverWyr.def)
  message(FATAL_ERROR "DriverWyr.def is not beside ${DLL}")
endif()
file(READ ${dir}/DriverWyr.def def)
string(REGEX MATCHALL "[ \t]driverwyr_[A-Za-z0-9_]+\n" in_table "${dump}")
string(REGEX MATCHALL "[ \t\n]driverwyr_[A-Za-z0-9_]+[ \t\n@]" in_def "${def}")
list(LENGTH in_table table_count)
list(LENGTH in_def def_count)
if(table_count LESS 400 OR NOT table_count EQUAL def_count)
  message(FATAL_ERROR "C interface: ${table_count} names in the export table, ${def_count} in DriverWyr.def")
endif()
message(STATUS "export table of ${DLL} is complete (${table_count} C interface functions, also in DriverWyr.def)")
