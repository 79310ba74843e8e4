# Checks the export table of DriverWyr.dll: a PE32 DLL exporting the entry
# points under their plain names and the record classes' members.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
if(NOT dump MATCHES "file format pei-i386")
  message(FATAL_ERROR "${DLL} is not a PE32 (i386) image")
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
  _ZN8CPPSetupC1Ev _ZN8CPPSetup14SetControlTypeEi)
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
message(STATUS "export table of ${DLL} is complete")
