; Tabvisor-setup.exe: puts Tabvisor.exe and the tablet library stand-ins into
; C:\Program Files\Tabvisor and registers an uninstaller that takes them away again.
;
; The build passes, with -D: VERSION (x.y.z), OUT_FILE, ICON, and the built files PROGRAM,
; WINIO_DLL, PM_DLL, COMMON_DLL.
;
; A tablet may already hold the maker's own WINIO.dll, PM.dll and common.dll in that folder: those
; are never overwritten nor removed. The installer records, per library, whether the file in the
; folder is its own copy, and only such copies are updated by a later install and removed by the
; uninstaller. A library whose origin is unknown counts as the maker's.

Unicode true
; The program is x64, so the installer is too: on 64-bit Windows it then sees the real
; Program Files and registry, without WOW64 redirection. The script still asks for the 64-bit
; places by name so it stays right if it is ever built as a 32-bit installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef VERSION | OUT_FILE | ICON | PROGRAM | WINIO_DLL | PM_DLL | COMMON_DLL
  !error "Build through CMake: VERSION, OUT_FILE, ICON, PROGRAM, WINIO_DLL, PM_DLL and COMMON_DLL must be defined"
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

; Installs one stand-in library unless the folder holds a copy that is not ours.
!macro INSTALL_LIBRARY NAME SOURCE
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "Installed ${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
  ${AndIf} $0 != 1
    DetailPrint "Keeping the ${NAME} already in $INSTDIR"
  ${Else}
    File "/oname=${NAME}" "${SOURCE}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "Installed ${NAME}" 1
  ${EndIf}
!macroend

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

Function .onInit
  SetShellVarContext all
  SetRegView 64
  ; Fixed, whatever /D= says: the boot task names this folder.
  StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
FunctionEnd

Function StartTabvisor
  Exec '"$INSTDIR\Tabvisor.exe"'
FunctionEnd

Section "Tabvisor" SecMain
  SectionIn RO
  Call CloseRunningTabvisor
  SetOutPath "$INSTDIR"
  File "/oname=Tabvisor.exe" "${PROGRAM}"
  !insertmacro INSTALL_LIBRARY "WINIO.dll" "${WINIO_DLL}"
  !insertmacro INSTALL_LIBRARY "PM.dll" "${PM_DLL}"
  !insertmacro INSTALL_LIBRARY "common.dll" "${COMMON_DLL}"
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
  SetRegView 64
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
