; The Windows installer of DriverWyr, for the current user (no administrator
; rights needed): DriverWyr.dll and wyr.exe, the headers, the import library,
; DriverWyr.def and the CMake package, the Python and C# bindings, the
; documents; it creates the serial counter key and registers an uninstaller
; with "Apps & features" (Add/Remove Programs). Runs silently with /S;
; /D=FOLDER (last on the command line) chooses the folder.
;
; Built by scripts/make-installer from an installed Windows build:
;   makensis -DPREFIX=<installed prefix> -DVERSION=<x.y.z> -DOUTFILE=<setup.exe>
;            [-DTARGET=x86-unicode|amd64-unicode] driverwyr.nsi
; The installer's own code must match the DLL's, since it calls into it:
; x86-unicode (the default) for the win32 build, amd64-unicode for win64.

!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}

!ifndef PREFIX
  !error "PREFIX: the folder the Windows build was installed into (cmake --install build/win32 --prefix ...)"
!endif
!ifndef VERSION
  !error "VERSION: the package version"
!endif
!ifndef OUTFILE
  !define OUTFILE "DriverWyr-${VERSION}-setup.exe"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\DriverWyr"

Name "DriverWyr ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\DriverWyr"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "DriverWyr"
  SetOutPath "$INSTDIR\bin"
  File "${PREFIX}/bin/DriverWyr.dll"
  File "${PREFIX}/bin/wyr.exe"
  SetOutPath "$INSTDIR\include\driverwyr"
  File "${PREFIX}/include/driverwyr/*.h"
  File "${PREFIX}/include/driverwyr/driverwyr_c.json"
  SetOutPath "$INSTDIR\lib"
  File "${PREFIX}/lib/libDriverWyr.dll.a"
  File "${PREFIX}/lib/DriverWyr.def"
  SetOutPath "$INSTDIR\lib\cmake\DriverWyr"
  File "${PREFIX}/lib/cmake/DriverWyr/*.cmake"
  SetOutPath "$INSTDIR\lib\python3\site-packages\driverwyr"
  File "${PREFIX}/lib/python3/site-packages/driverwyr/*.py"
  SetOutPath "$INSTDIR\share\DriverWyr\csharp"
  File "${PREFIX}/share/DriverWyr/csharp/DriverWyr.cs"
  SetOutPath "$INSTDIR\doc"
  File /r "${PREFIX}/share/doc/DriverWyr/*.*"

  ; The serial counter key, created by the driver itself, so that it lies
  ; exactly where the driver looks for it (the Wow6432Node rule included). An
  ; existing key keeps its values.
  System::Call '$INSTDIR\bin\DriverWyr.dll::driverwyr_CreateSerialCounterKey(m .r1, i ${NSIS_MAX_STRLEN}) i .r0 ?c'
  StrCmp $0 "0" key_done
    DetailPrint "The serial counter key could not be created: $1"
    MessageBox MB_OK|MB_ICONSTOP "The serial counter key could not be created:$\r$\n$1" /SD IDOK
    SetErrorLevel 2
    Abort
  key_done:

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "DriverWyr ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there. The serial counter key stays: it holds
; the day's program numbers, which a later installation goes on counting.
Section "Uninstall"
  Delete "$INSTDIR\bin\DriverWyr.dll"
  Delete "$INSTDIR\bin\wyr.exe"
  RMDir "$INSTDIR\bin"
  Delete "$INSTDIR\include\driverwyr\*.h"
  Delete "$INSTDIR\include\driverwyr\driverwyr_c.json"
  RMDir "$INSTDIR\include\driverwyr"
  RMDir "$INSTDIR\include"
  Delete "$INSTDIR\lib\cmake\DriverWyr\*.cmake"
  RMDir "$INSTDIR\lib\cmake\DriverWyr"
  RMDir "$INSTDIR\lib\cmake"
  ; Python leaves its compiled files (__pycache__) beside the package's.
  RMDir /r "$INSTDIR\lib\python3\site-packages\driverwyr"
  RMDir "$INSTDIR\lib\python3\site-packages"
  RMDir "$INSTDIR\lib\python3"
  Delete "$INSTDIR\lib\libDriverWyr.dll.a"
  Delete "$INSTDIR\lib\DriverWyr.def"
  RMDir "$INSTDIR\lib"
  Delete "$INSTDIR\share\DriverWyr\csharp\DriverWyr.cs"
  RMDir "$INSTDIR\share\DriverWyr\csharp"
  RMDir "$INSTDIR\share\DriverWyr"
  RMDir "$INSTDIR\share"
  RMDir /r "$INSTDIR\doc"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
