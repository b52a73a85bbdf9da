; Tabvisor-setup.exe: puts Tabvisor.exe and the tablet library stand-ins into
; C:\Program Files\Tabvisor and registers an uninstaller that takes them away again. It holds
; the x86 and the x64 build and installs the one that can load the libraries in that folder.
;
; The build passes, with -D: VERSION (x.y.z), OUT_FILE, ICON, and the folders X86_DIR and X64_DIR,
; each holding Tabvisor.exe, WINIO.dll, PM.dll and common.dll of its architecture, and
; START_AS_USER, the x86 helper that starts the program as the logged-on user.
;
; A tablet may already hold the maker's own WINIO.dll, PM.dll and common.dll in that folder: those
; are never overwritten nor removed. The installer records, per library, whether the file in the
; folder is its own copy, and only such copies are updated by a later install and removed by the
; uninstaller. A library whose origin is unknown counts as the maker's.
;
; Which build: a process loads only libraries of its own architecture, so the maker's libraries
; decide. Their PE headers tell it; when they disagree (or one cannot be read) the setup stops
; before touching anything and says which is which. Without any, the build of the running Windows
; is installed. Our own stand-ins always come in the chosen architecture, replacing copies of
; ours of the other one, so Tabvisor.exe never sits beside a library it cannot load.

Unicode true
; A 32-bit setup runs on 32-bit and 64-bit Windows alike. On 64-bit Windows it asks for the
; 64-bit registry view by name; the install folder is named in full (C:\Program Files is not
; redirected for 32-bit processes, only the system folder is).
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef VERSION | OUT_FILE | ICON | X86_DIR | X64_DIR | START_AS_USER
  !error "Build through CMake: VERSION, OUT_FILE, ICON, X86_DIR, X64_DIR and START_AS_USER must be defined"
!endif

!define PRODUCT "Tabvisor"
!define PUBLISHER "Quorvanta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabvisor"
!define UNINSTALLER "Uninstall.exe"
; The running program's panel: a dialog with this title.
!define PANEL_CLASS "#32770"
!define PANEL_TITLE "Tabvisor"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
; The boot task the program registers names C:\Program Files\Tabvisor\Tabvisor.exe, so the folder
; is fixed (see .onInit) and there is no page to choose another.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} into $INSTDIR.$\r$\n$\r$\n\
${PRODUCT} waits for the tablet key and shows its panel of device switches, brightness, volume, \
on-screen keyboard and Task Manager. It starts itself at every logon once it has run.$\r$\n$\r$\n\
A running ${PRODUCT} is closed first. Click Install to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
; Not shown by a silent install, so a silent install starts nothing.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTabvisor
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends every running Tabvisor as its user can (the close command of its panel) and waits until
; each process has gone, so its files can be replaced or deleted. Gives up on a process that
; does not end within 5 s; the file operations that follow then report the file in use.
!macro DEFINE_CLOSE_RUNNING PREFIX
Function ${PREFIX}CloseRunningTabvisor
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 0
  ${Do}
    FindWindow $0 "${PANEL_CLASS}" "${PANEL_TITLE}"
    ${If} $0 = 0
    ${OrIf} $3 >= 8
      ${Break}
    ${EndIf}
    IntOp $3 $3 + 1
    DetailPrint "Closing the running ${PRODUCT}"
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    ; SYNCHRONIZE: enough to wait for the end.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 ${WM_SYSCOMMAND} 0xF060 0 /TIMEOUT=2000 ; SC_CLOSE
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i .r1'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      Sleep 500
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING ""
!insertmacro DEFINE_CLOSE_RUNNING "un."

; The architecture to install, "x86" or "x64", chosen by .onInit.
Var Arch

; Puts file NAME of the chosen build into the output folder.
!macro INSTALL_BUILD_FILE NAME
  ${If} $Arch == "x64"
    File "/oname=${NAME}" "${X64_DIR}\${NAME}"
  ${Else}
    File "/oname=${NAME}" "${X86_DIR}\${NAME}"
  ${EndIf}
!macroend

; Installs one stand-in library of the chosen architecture unless the folder holds a copy that
; is not ours.
!macro INSTALL_LIBRARY NAME
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "Installed ${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
  ${AndIf} $0 != 1
    DetailPrint "Keeping the ${NAME} already in $INSTDIR"
  ${Else}
    !insertmacro INSTALL_BUILD_FILE "${NAME}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "Installed ${NAME}" 1
  ${EndIf}
!macroend

; Reads a little-endian number of $R2 bytes at the current place of file handle $R0 into $R1;
; sets the error flag at the end of the file.
Function ReadLittleEndian
  Push $R3
  Push $R4
  StrCpy $R1 0
  StrCpy $R3 0    ; bit position of the next byte
  ${While} $R3 < 32
    IntOp $R4 $R2 * 8
    ${If} $R3 >= $R4
      ${Break}
    ${EndIf}
    FileReadByte $R0 $R4
    ${If} ${Errors}
      ${Break}
    ${EndIf}
    IntOp $R4 $R4 << $R3
    IntOp $R1 $R1 | $R4
    IntOp $R3 $R3 + 8
  ${EndWhile}
  Pop $R4
  Pop $R3
FunctionEnd

; In: a file's path on the stack. Out: "x86" or "x64" from its PE header, or "unknown" for a file
; that is not a PE image of either machine or cannot be read.
Function ReadMachine
  Exch $R5
  Push $R0
  Push $R1
  Push $R2
  StrCpy $R6 "unknown"
  ClearErrors
  FileOpen $R0 $R5 r
  ${IfNot} ${Errors}
    StrCpy $R2 2
    Call ReadLittleEndian
    ${If} $R1 = 0x5A4D                  ; "MZ"
      FileSeek $R0 0x3C SET             ; e_lfanew
      StrCpy $R2 4
      Call ReadLittleEndian
      FileSeek $R0 $R1 SET
      Call ReadLittleEndian
      ${If} $R1 = 0x00004550            ; "PE\0\0"
        StrCpy $R2 2
        Call ReadLittleEndian
        ${IfNot} ${Errors}
          ${If} $R1 = 0x014C
            StrCpy $R6 "x86"
          ${ElseIf} $R1 = 0x8664
            StrCpy $R6 "x64"
          ${EndIf}
        ${EndIf}
      ${EndIf}
    ${EndIf}
    FileClose $R0
  ${EndIf}
  Pop $R2
  Pop $R1
  Pop $R0
  Pop $R5
  Push $R6
FunctionEnd

!define ARCH_NAME_x86 "32-bit (x86)"
!define ARCH_NAME_x64 "64-bit (x64)"
!define ARCH_NAME_unknown "of unknown architecture"

; Notes the architecture of one of the maker's libraries: $7 collects the first one seen, $8 a
; line per library, $9 becomes 1 when they disagree or one cannot be read.
!macro NOTE_MAKER_LIBRARY NAME
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "Installed ${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
  ${AndIf} $0 != 1
    Push "$INSTDIR\${NAME}"
    Call ReadMachine
    Pop $1
    ${If} $1 == "x86"
      StrCpy $8 "$8$\r$\n    ${NAME}: ${ARCH_NAME_x86}"
    ${ElseIf} $1 == "x64"
      StrCpy $8 "$8$\r$\n    ${NAME}: ${ARCH_NAME_x64}"
    ${Else}
      StrCpy $8 "$8$\r$\n    ${NAME}: ${ARCH_NAME_unknown}"
      StrCpy $9 1
    ${EndIf}
    ${If} $7 == ""
      StrCpy $7 $1
    ${ElseIf} $7 != $1
      StrCpy $9 1
    ${EndIf}
  ${EndIf}
!macroend

; Sets $Arch from the maker's libraries in $INSTDIR, or from the running Windows without any.
; Stops the setup, with nothing changed, when no build of ours can load them.
Function ChooseArchitecture
  StrCpy $7 ""
  StrCpy $8 ""
  StrCpy $9 0
  !insertmacro NOTE_MAKER_LIBRARY "WINIO.dll"
  !insertmacro NOTE_MAKER_LIBRARY "PM.dll"
  !insertmacro NOTE_MAKER_LIBRARY "common.dll"
  ${If} $9 = 1
    MessageBox MB_OK|MB_ICONSTOP "The tablet libraries in $INSTDIR are not all of one architecture:$8$\r$\n$\r$\n\
${PRODUCT} can load only libraries of one architecture. Replace the ones that do not belong to this \
tablet and run setup again. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $7 == "x64"
  ${AndIfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "The tablet libraries in $INSTDIR are 64-bit:$8$\r$\n$\r$\n\
This Windows is 32-bit and cannot run them. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $7 != ""
    StrCpy $Arch $7
  ${ElseIf} ${RunningX64}
    StrCpy $Arch "x64"
  ${Else}
    StrCpy $Arch "x86"
  ${EndIf}
FunctionEnd

; Removes one stand-in library if this installer put it there.
!macro REMOVE_LIBRARY NAME
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "Installed ${NAME}"
  ${If} $0 = 1
    Delete /REBOOTOK "$INSTDIR\${NAME}"
  ${Else}
    DetailPrint "Leaving ${NAME}: it was there before ${PRODUCT}"
  ${EndIf}
!macroend

; Earlier setups were 64-bit and kept their records in the 64-bit registry view.
!macro USE_NATIVE_REGISTRY_VIEW
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext all
  !insertmacro USE_NATIVE_REGISTRY_VIEW
  ; Fixed, whatever /D= says: the boot task names this folder.
  StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  Call ChooseArchitecture
FunctionEnd

; The setup runs elevated; the program must not: it registers its logon task for the user who
; runs it, and it is that user's panel. The helper starts it as the logged-on user (through the
; shell, which runs unelevated).
Function StartTabvisor
  InitPluginsDir
  File "/oname=$PLUGINSDIR\StartAsUser.exe" "${START_AS_USER}"
  ExecWait '"$PLUGINSDIR\StartAsUser.exe" "$INSTDIR\Tabvisor.exe"' $0
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} could not be started as the logged-on user. Start it from $INSTDIR; \
from its first start on it starts at every logon." /SD IDOK
  ${EndIf}
FunctionEnd

Section "Tabvisor" SecMain
  SectionIn RO
  Call CloseRunningTabvisor
  SetOutPath "$INSTDIR"
  DetailPrint "Installing the $Arch build"
  !insertmacro INSTALL_BUILD_FILE "Tabvisor.exe"
  !insertmacro INSTALL_LIBRARY "WINIO.dll"
  !insertmacro INSTALL_LIBRARY "PM.dll"
  !insertmacro INSTALL_LIBRARY "common.dll"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Architecture" "$Arch"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tabvisor.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext all
  !insertmacro USE_NATIVE_REGISTRY_VIEW
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningTabvisor
  Delete /REBOOTOK "$INSTDIR\Tabvisor.exe"
  !insertmacro REMOVE_LIBRARY "WINIO.dll"
  !insertmacro REMOVE_LIBRARY "PM.dll"
  !insertmacro REMOVE_LIBRARY "common.dll"

  ; The program registers this task at every start; without the program it would only fail.
  ; Exit code 1 just means there was none.
  DetailPrint "Removing the scheduled task ${PRODUCT}"
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /TN "${PRODUCT}" /F'
  Pop $0

  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: the maker's libraries stay where they were.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
