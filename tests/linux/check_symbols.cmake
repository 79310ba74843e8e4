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
     OR name MATCHES "^_Z(N|NK|TVN|TIN|TSN)9driverwyr(16SetUserInterface|8SetClock|21PlatformUserInterface|9CopyStore|22CreateSerialCounterKey|22GetWrittenProgramCount|21GetWrittenProgramPath|9SetDryRun|22GetCalculatedStepCount|17GetCalculatedStep|17GetRunResultCount|12GetRunResult|16CurrentMessageId|14GetMessageText|18MemoryDialogWindow|19MemoryUserInterface|12RunPreflight|19PreflightReportJson|21ProgramPathNamesFiles|11RenderSheet|10WriteSheet|14CopyRunRecords|20MakeMemoryOperatorUi|12ScriptPlayer)"
     OR name MATCHES "^_ZN9driverwyr(16SetUserInterface|8SetClock|21PlatformUserInterface|9CopyStore|22CreateSerialCounterKey|22GetWrittenProgramCount|21GetWrittenProgramPath|9SetDryRun|22GetCalculatedStepCount|17GetCalculatedStep|17GetRunResultCount|12GetRunResult|16CurrentMessageId|14GetMessageText|12RunPreflight|19PreflightReportJson|21ProgramPathNamesFiles|11RenderSheet|10WriteSheet|14CopyRunRecords|20MakeMemoryOperatorUi|12ScriptPlayer)"
     OR name MATCHES "^_ZN9driverwyr(11calibration|19CompareProgramFiles)")
    continue()
  endif()
  # The files, program-file and material-data functions (driverwyr/files.h,
  # program_format.h, material_data.h) and the file role's class.
  if(name MATCHES "^_ZN9driverwyr(17DefaultFileSystem|14ReadFilePrefix|13ReadWholeFile|19ReplaceFileContents|19EncodeProgramHeader|19EncodeProgramRecord|17EncodeProgramFile|17DecodeProgramFile|15ReadProgramFile|21DescribeProgramHeader|21DescribeProgramRecord|9ModelName|8TermName|17ParseMaterialFile|16ReadMaterialFile|18EncodeMaterialFile|16MaterialFilePath|18EvaluatePolynomial|12EvaluateGrid|13EvaluateModel|20EvaluateModelAtRatio|11ForceFactor)[BE]"
     OR name MATCHES "^_Z(N|TVN|TIN|TSN)9driverwyr10FileSystem")
    continue()
  endif()
  # The escaper of outside texts (driverwyr/escape.h) and the printable
  # forms of a program's values (driverwyr/program_text.h).
  if(name MATCHES "^_ZN9driverwyr(13AppendEscaped|7Escaped|14PrintableBytes|13ShortestFloat|18ShortestFloatValue)[BE]")
    continue()
  endif()
  list(APPEND unexpected ${name})
endforeach()
if(unexpected)
  message(FATAL_ERROR "internal symbols exported by ${LIBRARY}: ${unexpected}")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY} exports ${count} public symbols and nothing else")
