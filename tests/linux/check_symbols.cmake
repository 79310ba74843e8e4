# Checks the dynamic symbols that libdriverwyr.so defines.
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE raw RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${raw}")
set(names "")
foreach(line ${lines})
  if(line MATCHES "^[0-9a-f]* [A-Za-z] (.+)$")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
set(entry_points CreatePPDBInstance DestroyPPDBInstance GetDriverID SetUnit SetPathNames
  SetMaterial_1 SetMaterial_2 InitPPSequence InitToolInfo InitSetupInfo InitMachineInfo
  InitBkGaugeInfo GenerateMachineCodeFile)
foreach(name ${entry_points})
  list(FIND names ${name} found)
  if(found EQUAL -1)
    message(FATAL_ERROR "entry point ${name} is not exported by ${LIBRARY}")
  endif()
endforeach()
# Everything else must belong to the public classes or the host API.
set(unexpected "")
foreach(name ${names})
  list(FIND entry_points ${name} is_entry)
  if(is_entry GREATER -1)
    continue()
  endif()
  # The C interface (driverwyr/driverwyr_c.h): plain names with its prefix.
  if(name MATCHES "^driverwyr_[A-Za-z0-9_]+$")
    continue()
  endif()
  # Itanium names of the public classes: CString, CPP*, driverwyr::<public>.
  if(name MATCHES "^_ZN?K?(7CString|11CPPStepInfo|7CPPTool|10CPPMachine|9CPPBGauge|8CPPSetup)"
     OR name MATCHES "^_Z(TV|TI|TS)(11CPPStepInfo|7CPPTool|10CPPMachine|9CPPBGauge|8CPPSetup)"
     OR name MATCHES "^_Z(N|NK|TVN|TIN|TSN)9driverwyr(16SetUserInterface|8SetClock|21PlatformUserInterface|9CopyStore|22CreateSerialCounterKey|22GetWrittenProgramCount|21GetWrittenProgramPath|9SetDryRun|22GetCalculatedStepCount|17GetCalculatedStep|14GetMessageText|18MemoryDialogWindow|19MemoryUserInterface)"
     OR name MATCHES "^_ZN9driverwyr(11calibration|19CompareProgramFiles)"
     OR name MATCHES "^_ZN9driverwyr(16SetUserInterface|8SetClock|21PlatformUserInterface|9CopyStore|22CreateSerialCounterKey|22GetWrittenProgramCount|21GetWrittenProgramPath|9SetDryRun|22GetCalculatedStepCount|17GetCalculatedStep|14GetMessageText)")
    continue()
  endif()
  list(APPEND unexpected ${name})
endforeach()
if(unexpected)
  message(FATAL_ERROR "internal symbols exported by ${LIBRARY}: ${unexpected}")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY} exports ${count} public symbols and nothing else")
