; Quindle Vocalet setup.
;   Vocalet.exe, VocaletTips.enu, mls\*.mls  -> <ProgramFilesDir>\Quindle\Vocalet
;   SendMail.exe, ovhkDrag.dll               -> <CommonFilesDir>\Orvane (shared by the family)
;   a Start menu shortcut and an entry in the list of installed programs.
; Built by installer/Setup.cmake:
;   makensis -DBIN=<build/win32/bin> -DOUTFILE=<VocaletSetup.exe> -DSRC=<source root> Vocalet.nsi
; Silent: "VocaletSetup.exe /S"; "Uninstall.exe /S [/REMOVEUSERDATA]".

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef BIN
  !error "define BIN: the folder of the built program"
!endif
!ifndef OUTFILE
  !error "define OUTFILE: the setup to write"
!endif
!ifndef SRC
  !error "define SRC: the source root"
!endif

; The version is the one the build put into the program's version resource.
!getdllversion "${BIN}\Vocalet.exe" VER_
!ifndef VER_1
  !error "no version resource in ${BIN}\Vocalet.exe"
!endif
!define VERSION "${VER_1}.${VER_2}.${VER_3}.${VER_4}"

!define PRODUCT "Quindle Vocalet"
!define PUBLISHER "Quindle"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Where Windows setups count the programs that use a shared file (one DWORD per full path).
!define SHARED_KEY "Software\Microsoft\Windows\CurrentVersion\SharedDLLs"
; Easy Launch notes every shortcut it makes here: value name = the shortcut's full path.
!define ICONS_KEY "Software\Orvane\Uninstall Icons\${PRODUCT}"
!define OPTIONS_KEY "Software\Quindle\Vocalet"
!define MLS_KEY "Software\Quindle\MLS"
; The program's single-instance window (class and title).
!define INSTANCE_CLASS "SingleInstanceManagerWindow"
!define INSTANCE_TITLE "{4ECBDA43-943C-4B02-8204-55CB561170F5}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Quindle\Vocalet"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${SRC}\src\resources\Vocalet.ico"
!define MUI_UNICON "${SRC}\src\resources\Vocalet.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vocalet.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "The program goes in any case. Tick $\"My message and options$\" to remove your recorded message, your options and your language choice too; otherwise they stay for a later installation."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------------------------
; Shared files: the use count that Windows setups keep under SharedDLLs.

; Counts one more program using FILE. A file already there without a count belongs to a
; program of the family that did not count it; it gets its one use first, so that our
; uninstall does not take it away from under that program.
!macro AddSharedUse FILE
  ClearErrors
  ReadRegDWORD $0 HKLM "${SHARED_KEY}" "${FILE}"
  ${If} ${Errors}
    StrCpy $0 0
    ${If} ${FileExists} "${FILE}"
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
  IntOp $0 $0 + 1
  WriteRegDWORD HKLM "${SHARED_KEY}" "${FILE}" $0
!macroend

; Counts one program less; the last one removes the file and its count.
!macro RemoveSharedUse FILE
  ClearErrors
  ReadRegDWORD $0 HKLM "${SHARED_KEY}" "${FILE}"
  ${If} ${Errors}
    StrCpy $0 1
  ${EndIf}
  ${If} $0 > 1
    IntOp $0 $0 - 1
    WriteRegDWORD HKLM "${SHARED_KEY}" "${FILE}" $0
  ${Else}
    DeleteRegValue HKLM "${SHARED_KEY}" "${FILE}"
    Delete "${FILE}"
  ${EndIf}
!macroend

; Deletes the shortcuts named by Easy Launch's notes under ROOT, then the notes. Only single
; shortcut files: a note naming anything else, or a wildcard that Delete would expand, is
; not ours to follow.
!macro RemoveNotedShortcuts ROOT
  StrCpy $1 0
  ${Do}
    ClearErrors
    EnumRegValue $0 ${ROOT} "${ICONS_KEY}" $1
    ${If} ${Errors}
    ${OrIf} $0 == ""
      ${Break}
    ${EndIf}
    StrCpy $2 $0 "" -4
    Push $0
    Call un.HasWildcard
    Pop $3
    ${If} $2 == ".lnk"
    ${AndIf} $3 == 0
      Delete "$0"
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  DeleteRegKey ${ROOT} "${ICONS_KEY}"
  DeleteRegKey /ifempty ${ROOT} "Software\Orvane\Uninstall Icons"
  DeleteRegKey /ifempty ${ROOT} "Software\Orvane"
!macroend

; Nothing of ours may be replaced or removed while the program runs.
!macro RefuseWhileRunning
  ${Do}
    FindWindow $0 "${INSTANCE_CLASS}" "${INSTANCE_TITLE}"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running. Close it, then click Retry." /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

; ---------------------------------------------------------------------------------------------
; Setup

Function .onInit
  SetShellVarContext all
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "-Vocalet"
  SetShellVarContext all

  ; A second setup over the first (a repair or an update) uses the shared files once only.
  ClearErrors
  ReadRegDWORD $1 HKLM "${UNINST_KEY}" "SharedFilesCounted"
  ${If} $1 != 1
    !insertmacro AddSharedUse "$COMMONFILES\Orvane\SendMail.exe"
    !insertmacro AddSharedUse "$COMMONFILES\Orvane\ovhkDrag.dll"
  ${EndIf}
  SetOutPath "$COMMONFILES\Orvane"
  File "${BIN}\SendMail.exe"
  File "${BIN}\ovhkDrag.dll"

  SetOutPath "$INSTDIR\mls"
  File "${BIN}\mls\*.mls"
  ; The shortcut starts in the program's folder.
  SetOutPath "$INSTDIR"
  File "${BIN}\Vocalet.exe"
  File "${BIN}\VocaletTips.enu"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Quindle"
  CreateShortcut "$SMPROGRAMS\Quindle\Vocalet.lnk" "$INSTDIR\Vocalet.exe" "" \
    "$INSTDIR\Vocalet.exe" 0 SW_SHOWNORMAL "" "Record a voice message and send it by e-mail"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKLM "${UNINST_KEY}" "VersionMajor" ${VER_1}
  WriteRegDWORD HKLM "${UNINST_KEY}" "VersionMinor" ${VER_2}
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Vocalet.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "SharedFilesCounted" 1
  ; The size in KB: the program's folder and the two shared files.
  ${GetSize} "$INSTDIR" "/S=0K" $2 $3 $4
  ${GetSize} "$COMMONFILES\Orvane" "/M=SendMail.exe /S=0K /G=0" $5 $3 $4
  IntOp $2 $2 + $5
  ${GetSize} "$COMMONFILES\Orvane" "/M=ovhkDrag.dll /S=0K /G=0" $5 $3 $4
  IntOp $2 $2 + $5
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $2
SectionEnd

; ---------------------------------------------------------------------------------------------
; Uninstall

; $R0 := 1 when $0 names the message, else 0: one existing file, named without wildcard
; characters, that begins with a RIFF WAVE header. MsgFileName is the user's to edit and this
; runs elevated: "C:\some\folder\*.txt" must not delete every text file there.
Function un.IsMessageFile
  StrCpy $R0 0
  ${If} $0 == ""
    Return
  ${EndIf}
  ; The system reads < > and " as wildcards too.
  StrCpy $R1 0
  ${Do}
    StrCpy $R2 $0 1 $R1
    ${If} $R2 == ""
      ${Break}
    ${EndIf}
    ${If} $R2 == "*"
    ${OrIf} $R2 == "?"
    ${OrIf} $R2 == "<"
    ${OrIf} $R2 == ">"
    ${OrIf} $R2 == '"'
      Return
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${Loop}
  ${IfNot} ${FileExists} "$0"
  ${OrIf} ${FileExists} "$0\*.*"
    Return
  ${EndIf}
  ClearErrors
  FileOpen $R1 "$0" r
  ${If} ${Errors}
    Return
  ${EndIf}
  ; "RIFF", the length, "WAVE": the twelve bytes as decimal numbers.
  StrCpy $R2 ""
  ${For} $R3 1 12
    FileReadByte $R1 $R4
    ${If} ${Errors}
      ${Break}
    ${EndIf}
    ${If} $R3 < 5
    ${OrIf} $R3 > 8
      StrCpy $R2 "$R2$R4 "
    ${EndIf}
  ${Next}
  FileClose $R1
  ${If} $R2 == "82 73 70 70 87 65 86 69 "
    StrCpy $R0 1
  ${EndIf}
FunctionEnd

Section /o "un.My message and options" SecUserData
  ; The message file lives where the options say, the temporary folder by default.
  ReadRegStr $0 HKCU "${OPTIONS_KEY}" "MsgFileName"
  Call un.IsMessageFile
  ${If} $R0 != 1
    StrCpy $0 "$TEMP\vocalet.wav"
    Call un.IsMessageFile
  ${EndIf}
  ${If} $R0 == 1
    Delete "$0"
    ; What a compression cut off by a crash left beside it.
    Delete "$0.new"
  ${EndIf}
  DeleteRegKey HKCU "${OPTIONS_KEY}"
  ; The language key is the family's: only Vocalet's value goes.
  DeleteRegValue HKCU "${MLS_KEY}" "Vocalet"
  DeleteRegKey /ifempty HKCU "${MLS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Quindle"
  ; The mail hand-off file, kept per user.
  SetShellVarContext current
  Delete "$LOCALAPPDATA\Quindle\Vocalet\eMail.dat"
  Delete "$LOCALAPPDATA\Quindle\Vocalet\eMail.dat.new"
  RMDir "$LOCALAPPDATA\Quindle\Vocalet"
  RMDir "$LOCALAPPDATA\Quindle"
  SetShellVarContext all
SectionEnd

Section "-un.Vocalet"
  SetShellVarContext all

  ; Easy Launch's shortcuts on the desktop, in Quick Launch and in the Start menu, noted in
  ; the machine's key or, for a user who may not write that, in the user's own.
  !insertmacro RemoveNotedShortcuts HKLM
  !insertmacro RemoveNotedShortcuts HKCU

  Delete "$SMPROGRAMS\Quindle\Vocalet.lnk"
  RMDir "$SMPROGRAMS\Quindle"

  Delete "$INSTDIR\Vocalet.exe"
  Delete "$INSTDIR\VocaletTips.enu"
  Delete "$INSTDIR\mls\*.mls"
  RMDir "$INSTDIR\mls"
  ; What the program itself writes beside it: the mail hand-off file and the language report.
  Delete "$INSTDIR\eMail.dat"
  Delete "$INSTDIR\MLSReport.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; The publisher's folder goes with its last program, if setup made it.
  ${If} $INSTDIR == "$PROGRAMFILES\Quindle\Vocalet"
    RMDir "$PROGRAMFILES\Quindle"
  ${EndIf}

  !insertmacro RemoveSharedUse "$COMMONFILES\Orvane\SendMail.exe"
  !insertmacro RemoveSharedUse "$COMMONFILES\Orvane\ovhkDrag.dll"
  RMDir "$COMMONFILES\Orvane"

  ; Last: whoever waits for the uninstall to end watches this key go.
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd

; 1 on the stack when the text on the stack holds "*" or "?", else 0.
Function un.HasWildcard
  Exch $R0
  Push $R1
  Push $R2
  StrCpy $R1 0
  ${Do}
    StrCpy $R2 $R0 1 $R1
    ${If} $R2 == "*"
    ${OrIf} $R2 == "?"
      StrCpy $R0 1
      ${Break}
    ${EndIf}
    ${If} $R2 == ""
      StrCpy $R0 0
      ${Break}
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${Loop}
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

Function un.onInit
  SetShellVarContext all
  !insertmacro RefuseWhileRunning
  ; The box of the components page, for a silent uninstall.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEUSERDATA" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecUserData} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUserData} \
    "Also delete the recorded message and Vocalet's options and language choice."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
