; Tabvisor-setup.exe: puts Tabvisor.exe and the tablet library stand-ins into
; C:\Program Files\Tabvisor and registers an uninstaller that takes them away again. It holds
; the x86 and the x64 build and installs the one that can load the libraries in that folder.
;
; The build passes, with -D: VERSION (x.y.z), OUT_FILE, ICON, and the folders X86_DIR and X64_DIR,
; each holding Tabvisor.exe and the system builds of WINIO.dll, PM.dll and common.dll (which hold
; no simulated tablet) of its architecture, and
; START_AS_USER, the x86 helper that starts the program as the logged-on user, and PACKED_HASHES,
; the defines PACKED_SHA256_<arch>_<file> of those files (PackedHashes.cmake).
;
; A tablet may already hold the maker's own WINIO.dll, PM.dll and common.dll in that folder: those
; are never overwritten nor removed. For each library it puts there the setup records the SHA-256
; of that copy ("Installed NAME" in its uninstall key), and a library counts as ours only while
; its content still has that hash: only then does a later setup replace it or the uninstaller
; remove it. A library that changed since (a maker's copied over ours) is the maker's from then
; on, and so is one without a record. A hash, not size and time stamp: a copy can keep both of
; its source. Tabvisor.exe and Uninstall.exe have no counterpart of the maker's and are always ours.
;
; It reports no install it did not make: each file is extracted beside its place and checked
; against the hash it was packed with, then put in place by renames that keep the file it replaces
; until every file has landed. A failure stops the setup (exit code 2) with the earlier files put
; back and nothing recorded, or says what it could not put back.
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

!ifndef VERSION | OUT_FILE | ICON | X86_DIR | X64_DIR | START_AS_USER | PACKED_HASHES
  !error "Build through CMake: VERSION, OUT_FILE, ICON, X86_DIR, X64_DIR, START_AS_USER and PACKED_HASHES must be defined"
!endif

!define PRODUCT "Tabvisor"
!define PUBLISHER "Quorvanta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabvisor"
!define UNINSTALLER "Uninstall.exe"
; The running program's record in the session (app/SingleInstance.h): a named file mapping whose
; 32-bit fields are a mark, the program's process id and its panel's window handle.
!define INSTANCE_OBJECT "Local\Tabvisor.Instance"
!define INSTANCE_MAGIC 0x52535654

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
!include "${PACKED_HASHES}"

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

; Ends the running Tabvisor of this session as its user can (the close command of its panel,
; found through the program's record) and waits until the record has gone, that is until the
; program has ended, so its files can be replaced or deleted. Gives up after 8 closes of 5 s each;
; the file operations that follow then report the file in use.
!macro DEFINE_CLOSE_RUNNING PREFIX
Function ${PREFIX}CloseRunningTabvisor
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $3 0
  ${Do}
    ; FILE_MAP_READ
    System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "${INSTANCE_OBJECT}") p .r0'
    ${If} $0 P= 0
      ${Break}
    ${EndIf}
    StrCpy $1 0
    StrCpy $2 0
    StrCpy $4 0
    System::Call 'kernel32::MapViewOfFile(p r0, i 4, i 0, i 0, p 16) p .r5'
    ${If} $5 P<> 0
      System::Call '*$5(i .r4, i .r1, i .r2)'
      System::Call 'kernel32::UnmapViewOfFile(p r5)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} $3 >= 8
      ${Break}
    ${EndIf}
    IntOp $3 $3 + 1
    ; Only a panel of the process the record names; a program still starting has none yet.
    ${If} $4 = ${INSTANCE_MAGIC}
    ${AndIf} $2 <> 0
      System::Call 'user32::GetWindowThreadProcessId(p r2, *i .r5)'
      ${If} $5 = $1
        DetailPrint "Closing the running ${PRODUCT}"
        SendMessage $2 ${WM_SYSCOMMAND} 0xF060 0 /TIMEOUT=2000 ; SC_CLOSE
      ${EndIf}
    ${EndIf}
    ; The record goes with the program's last handle to it, when the program has ended.
    StrCpy $4 0
    ${Do}
      Sleep 100
      System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "${INSTANCE_OBJECT}") p .r0'
      ${If} $0 P= 0
        ${Break}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r0)'
      IntOp $4 $4 + 1
    ${LoopUntil} $4 >= 50
  ${Loop}
  Pop $5
  Pop $4
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
; What this run has put in place, one bit per file (BIT_*), so a failure can take it back.
Var Placed
; The earlier files a failed run could not put back, a line each, for its message.
Var NotRestored
; 1 when this run made the install folder, so a failed run removes it again.
Var MadeFolder

; A file being put in place lies beside its place under this name first, and the one it replaces
; stays under the other until every file has landed.
!define NEW_SUFFIX ".setup-new"
!define OLD_SUFFIX ".setup-old"
!define BIT_Tabvisor.exe 1
!define BIT_WINIO.dll 2
!define BIT_PM.dll 4
!define BIT_common.dll 8
!define BIT_${UNINSTALLER} 16

; In: a file's path on the stack. Out: the SHA-256 of its content in lower-case hex, or "" when
; it cannot be read (a folder, a missing file, one locked against reading).
!macro DEFINE_FILE_SHA256 PREFIX
Function ${PREFIX}FileSha256
  Exch $0
  Push $1   ; the file
  Push $2   ; a buffer
  Push $3
  Push $4   ; the Crypto API provider
  Push $5   ; its hash object
  Push $6   ; the last call's result
  Push $7
  Push $8   ; the hash in hex
  StrCpy $8 ""
  StrCpy $4 0
  StrCpy $5 0
  ; Others may read it meanwhile, not write: a file being written is not fingerprinted half-way.
  System::Call 'kernel32::CreateFileW(w r0, i 0x80000000, i 1, p 0, i 3, i 0, p 0) i .r1' ; GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING
  ${If} $1 <> -1
    System::Call 'advapi32::CryptAcquireContextW(*p .r4, p 0, p 0, i 24, i 0xF0000000) i .r6' ; PROV_RSA_AES, CRYPT_VERIFYCONTEXT
    ${If} $6 <> 0
      System::Call 'advapi32::CryptCreateHash(p r4, i 0x800C, p 0, i 0, *p .r5) i .r6' ; CALG_SHA_256
    ${EndIf}
    ${If} $6 <> 0
      System::Alloc 65536
      Pop $2
      ${Do}
        System::Call 'kernel32::ReadFile(i r1, p r2, i 65536, *i .r3, p 0) i .r6'
        ${If} $6 = 0
        ${OrIf} $3 = 0
          ${Break}
        ${EndIf}
        System::Call 'advapi32::CryptHashData(p r5, p r2, i r3, i 0) i .r6'
      ${LoopUntil} $6 = 0
      ${If} $6 <> 0
        System::Call 'advapi32::CryptGetHashParam(p r5, i 2, p r2, *i 32, i 0) i .r6' ; HP_HASHVAL
      ${EndIf}
      ${If} $6 <> 0
        StrCpy $7 0
        ${While} $7 < 32
          IntOp $3 $2 + $7
          System::Call '*$3(&i1 .r3)'
          IntOp $3 $3 & 0xFF
          IntFmt $3 "%02x" $3
          StrCpy $8 "$8$3"
          IntOp $7 $7 + 1
        ${EndWhile}
      ${EndIf}
      System::Free $2
    ${EndIf}
    ${If} $5 P<> 0
      System::Call 'advapi32::CryptDestroyHash(p r5)'
    ${EndIf}
    ${If} $4 P<> 0
      System::Call 'advapi32::CryptReleaseContext(p r4, i 0)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(i r1)'
  ${EndIf}
  StrCpy $0 $8
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro DEFINE_FILE_SHA256 ""
!insertmacro DEFINE_FILE_SHA256 "un."

; Sets $0 to 1 when library NAME in $INSTDIR is still the copy a setup recorded putting there,
; else to 0 (no such file, no record, or changed since: then it is the maker's, or the user's).
; Setups before fingerprints recorded a bare 1 (a number, which ReadRegStr reads with the error
; flag set): it is believed only for a file that is byte for byte one this setup packs, since
; nothing else tells an old copy of ours from a maker's library copied over it. Uses $1 and $2.
!macro IS_OUR_COPY PREFIX NAME
  StrCpy $0 0
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "Installed ${NAME}"
  ${If} $1 != ""
    Push "$INSTDIR\${NAME}"
    Call ${PREFIX}FileSha256
    Pop $2
    ${If} $2 == ""
      ; Unreadable: not known to be ours.
    ${ElseIf} $2 == $1
      StrCpy $0 1
    ${ElseIf} $1 == "1"
      ${If} $2 == "${PACKED_SHA256_x86_${NAME}}"
      ${OrIf} $2 == "${PACKED_SHA256_x64_${NAME}}"
        StrCpy $0 1
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ClearErrors
!macroend

; Sets $0 to 1 when PATH names a folder.
!macro IS_FOLDER PATH
  System::Call 'kernel32::GetFileAttributesW(w "${PATH}") i .r0'
  ${If} $0 = -1
    StrCpy $0 0
  ${Else}
    IntOp $0 $0 & 0x10 ; FILE_ATTRIBUTE_DIRECTORY
    IntOp $0 $0 >> 4
  ${EndIf}
!macroend

; Appends NAME to $1 when a folder takes its place in $INSTDIR.
!macro NOTE_FOLDER_IN_THE_WAY NAME
  !insertmacro IS_FOLDER "$INSTDIR\${NAME}"
  ${If} $0 = 1
    StrCpy $1 "$1$\r$\n    $INSTDIR\${NAME}"
  ${EndIf}
!macroend

; Returns nothing when the install folder can take the setup's files; otherwise a message on the
; stack: the folder's name is a file's, or a folder has the name of a file to be put there.
Function FindWhatIsInTheWay
  Push $0
  Push $1
  StrCpy $1 ""
  ${If} ${FileExists} "$INSTDIR"
    !insertmacro IS_FOLDER "$INSTDIR"
    ${If} $0 = 0
      StrCpy $1 "$INSTDIR is a file, where ${PRODUCT} needs its folder. Move it away and run setup again."
    ${EndIf}
  ${EndIf}
  ${If} $1 == ""
    !insertmacro NOTE_FOLDER_IN_THE_WAY "Tabvisor.exe"
    !insertmacro NOTE_FOLDER_IN_THE_WAY "WINIO.dll"
    !insertmacro NOTE_FOLDER_IN_THE_WAY "PM.dll"
    !insertmacro NOTE_FOLDER_IN_THE_WAY "common.dll"
    !insertmacro NOTE_FOLDER_IN_THE_WAY "${UNINSTALLER}"
    ${If} $1 != ""
      StrCpy $1 "${PRODUCT} needs files where there are folders:$1$\r$\n$\r$\nMove them away and run setup again."
    ${EndIf}
  ${EndIf}
  Exch
  Pop $0
  Exch $1
FunctionEnd

; Stops the setup before anything was touched, with the message on the stack.
Function StopUntouched
  Exch $0
  MessageBox MB_OK|MB_ICONSTOP "$0$\r$\n$\r$\nNothing was changed." /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; Removes what a failed run extracted beside the files' places.
!macro REMOVE_STAGED NAME
  Delete "$INSTDIR\${NAME}${NEW_SUFFIX}"
!macroend

; Puts the earlier copy of NAME back when this run had replaced it (or takes its new file away
; when there was none); notes in $NotRestored what it could not put back.
!macro TAKE_BACK NAME
  IntOp $0 $Placed & ${BIT_${NAME}}
  ${If} $0 <> 0
    ${IfNot} ${FileExists} "$INSTDIR\${NAME}${NEW_SUFFIX}"
      Delete "$INSTDIR\${NAME}"
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\${NAME}${OLD_SUFFIX}"
      ClearErrors
      Rename "$INSTDIR\${NAME}${OLD_SUFFIX}" "$INSTDIR\${NAME}"
      ${If} ${Errors}
        StrCpy $NotRestored "$NotRestored$\r$\n    ${NAME} (the earlier one is $INSTDIR\${NAME}${OLD_SUFFIX})"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  !insertmacro REMOVE_STAGED "${NAME}"
!macroend

; Stops a setup that has begun to change the folder, with the message on the stack: it puts back
; every earlier file it replaced, removes what it added, records nothing, and says what it could
; not put back.
Function FailInstall
  Exch $1
  DetailPrint "$1"
  StrCpy $NotRestored ""
  !insertmacro TAKE_BACK "${UNINSTALLER}"
  !insertmacro TAKE_BACK "common.dll"
  !insertmacro TAKE_BACK "PM.dll"
  !insertmacro TAKE_BACK "WINIO.dll"
  !insertmacro TAKE_BACK "Tabvisor.exe"
  ${If} $MadeFolder = 1
    RMDir "$INSTDIR"
  ${EndIf}
  ${If} $NotRestored == ""
    StrCpy $1 "$1$\r$\n$\r$\n${PRODUCT} was not installed, and $INSTDIR is as it was before."
  ${Else}
    StrCpy $1 "$1$\r$\n$\r$\n${PRODUCT} was not installed, and these could not be put back:$NotRestored"
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "$1" /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; Extracts file NAME of the chosen build beside its place and checks that what landed is, byte for
; byte, what was packed: File can fail without a word in a silent setup.
!macro STAGE_BUILD_FILE NAME
  ClearErrors
  ${If} $Arch == "x64"
    File "/oname=${NAME}${NEW_SUFFIX}" "${X64_DIR}\${NAME}"
    StrCpy $1 "${PACKED_SHA256_x64_${NAME}}"
  ${Else}
    File "/oname=${NAME}${NEW_SUFFIX}" "${X86_DIR}\${NAME}"
    StrCpy $1 "${PACKED_SHA256_x86_${NAME}}"
  ${EndIf}
  StrCpy $2 ""
  ${IfNot} ${Errors}
    Push "$INSTDIR\${NAME}${NEW_SUFFIX}"
    Call FileSha256
    Pop $2
  ${EndIf}
  ${If} $2 != $1
    Push "${NAME} could not be written to $INSTDIR, or what was written is not what this setup holds."
    Call FailInstall
  ${EndIf}
!macroend

; Stages one stand-in library of the chosen architecture unless the folder holds a copy that is
; not ours.
!macro STAGE_LIBRARY NAME
  !insertmacro IS_OUR_COPY "" "${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
  ${AndIf} $0 = 0
    DetailPrint "Keeping the ${NAME} already in $INSTDIR: it is not a copy this setup put there"
  ${Else}
    !insertmacro STAGE_BUILD_FILE "${NAME}"
  ${EndIf}
!macroend

; Puts the staged copy of NAME in its place. The file it replaces becomes NAME.setup-old, so that
; a failure later on can put it back.
!macro PUT_IN_PLACE NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}${NEW_SUFFIX}"
    ; 1 while every step went well. (Each test of the error flag clears it.)
    StrCpy $0 1
    ${If} ${FileExists} "$INSTDIR\${NAME}"
      ClearErrors
      Rename "$INSTDIR\${NAME}" "$INSTDIR\${NAME}${OLD_SUFFIX}"
      ${If} ${Errors}
        StrCpy $0 0
      ${EndIf}
    ${EndIf}
    ${If} $0 = 1
      IntOp $Placed $Placed | ${BIT_${NAME}}
      ClearErrors
      Rename "$INSTDIR\${NAME}${NEW_SUFFIX}" "$INSTDIR\${NAME}"
      ${If} ${Errors}
      ${OrIfNot} ${FileExists} "$INSTDIR\${NAME}"
        StrCpy $0 0
      ${EndIf}
    ${EndIf}
    ${If} $0 = 0
      Push "${NAME} in $INSTDIR could not be replaced: it may be in use."
      Call FailInstall
    ${EndIf}
  ${EndIf}
!macroend

; Once everything has landed: the replaced copy goes (at the next restart if still in use).
!macro DROP_EARLIER NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}${OLD_SUFFIX}"
    Delete "$INSTDIR\${NAME}${OLD_SUFFIX}"
    ${If} ${FileExists} "$INSTDIR\${NAME}${OLD_SUFFIX}"
      Delete /REBOOTOK "$INSTDIR\${NAME}${OLD_SUFFIX}"
    ${EndIf}
  ${EndIf}
!macroend

; A library this run kept has no record from now on, whatever an earlier setup recorded.
!macro FORGET_KEPT_LIBRARY NAME
  IntOp $0 $Placed & ${BIT_${NAME}}
  ${If} $0 = 0
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "Installed ${NAME}"
  ${EndIf}
!macroend

; Records the fingerprint of a library this run put in place.
!macro RECORD_PLACED_LIBRARY NAME
  IntOp $0 $Placed & ${BIT_${NAME}}
  ${If} $0 = 0
  ${ElseIf} $Arch == "x64"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Installed ${NAME}" "${PACKED_SHA256_x64_${NAME}}"
  ${Else}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Installed ${NAME}" "${PACKED_SHA256_x86_${NAME}}"
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
  !insertmacro IS_OUR_COPY "" "${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
  ${AndIf} $0 = 0
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
    Push "The tablet libraries in $INSTDIR are not all of one architecture:$8$\r$\n$\r$\n\
${PRODUCT} can load only libraries of one architecture. Replace the ones that do not belong to this \
tablet and run setup again."
    Call StopUntouched
  ${EndIf}
  ${If} $7 == "x64"
  ${AndIfNot} ${RunningX64}
    Push "The tablet libraries in $INSTDIR are 64-bit:$8$\r$\n$\r$\nThis Windows is 32-bit and cannot run them."
    Call StopUntouched
  ${EndIf}
  ${If} $7 != ""
    StrCpy $Arch $7
  ${ElseIf} ${RunningX64}
    StrCpy $Arch "x64"
  ${Else}
    StrCpy $Arch "x86"
  ${EndIf}
FunctionEnd

; Removes one stand-in library if it is still the copy the setup put there.
!macro REMOVE_LIBRARY NAME
  !insertmacro IS_OUR_COPY "un." "${NAME}"
  ${If} $0 = 1
    Delete /REBOOTOK "$INSTDIR\${NAME}"
  ${ElseIf} ${FileExists} "$INSTDIR\${NAME}"
    DetailPrint "Leaving ${NAME}: it is not a copy ${PRODUCT}'s setup put there"
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
  Call FindWhatIsInTheWay
  Pop $0
  ${If} $0 != ""
    Push $0
    Call StopUntouched
  ${EndIf}
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

; Removes NAME's leftovers of an interrupted run, or appends them to $1 when they stay.
!macro CLEAR_LEFTOVERS NAME
  Delete "$INSTDIR\${NAME}${NEW_SUFFIX}"
  Delete "$INSTDIR\${NAME}${OLD_SUFFIX}"
  ${If} ${FileExists} "$INSTDIR\${NAME}${NEW_SUFFIX}"
    StrCpy $1 "$1$\r$\n    $INSTDIR\${NAME}${NEW_SUFFIX}"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${NAME}${OLD_SUFFIX}"
    StrCpy $1 "$1$\r$\n    $INSTDIR\${NAME}${OLD_SUFFIX}"
  ${EndIf}
!macroend

; Makes the install folder and clears what an interrupted run may have left beside the files.
; Stops, before anything of ours is in it, when the folder cannot take the files.
Function PrepareFolder
  StrCpy $Placed 0
  StrCpy $MadeFolder 0
  Call FindWhatIsInTheWay
  Pop $0
  ${If} $0 != ""
    Push $0
    Call StopUntouched
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR"
    ClearErrors
    CreateDirectory "$INSTDIR"
    ${IfNot} ${Errors}
      StrCpy $MadeFolder 1
    ${EndIf}
  ${EndIf}
  !insertmacro IS_FOLDER "$INSTDIR"
  ${If} $0 = 0
    Push "$INSTDIR could not be made."
    Call StopUntouched
  ${EndIf}
  StrCpy $1 ""
  !insertmacro CLEAR_LEFTOVERS "Tabvisor.exe"
  !insertmacro CLEAR_LEFTOVERS "WINIO.dll"
  !insertmacro CLEAR_LEFTOVERS "PM.dll"
  !insertmacro CLEAR_LEFTOVERS "common.dll"
  !insertmacro CLEAR_LEFTOVERS "${UNINSTALLER}"
  ${If} $1 != ""
    Push "An earlier setup left these, and they cannot be removed:$1$\r$\n$\r$\nRestart Windows and run setup again."
    Call StopUntouched
  ${EndIf}
FunctionEnd

Section "Tabvisor" SecMain
  SectionIn RO
  Call CloseRunningTabvisor
  Call PrepareFolder
  SetOutPath "$INSTDIR"
  DetailPrint "Installing the $Arch build"
  !insertmacro STAGE_BUILD_FILE "Tabvisor.exe"
  !insertmacro STAGE_LIBRARY "WINIO.dll"
  !insertmacro STAGE_LIBRARY "PM.dll"
  !insertmacro STAGE_LIBRARY "common.dll"
  ClearErrors
  WriteUninstaller "$INSTDIR\${UNINSTALLER}${NEW_SUFFIX}"
  StrCpy $0 ""
  ${IfNot} ${Errors}
    Push "$INSTDIR\${UNINSTALLER}${NEW_SUFFIX}"
    Call ReadMachine
    Pop $0
  ${EndIf}
  ${If} $0 != "x86"
    Push "${UNINSTALLER} could not be written to $INSTDIR."
    Call FailInstall
  ${EndIf}

  !insertmacro PUT_IN_PLACE "Tabvisor.exe"
  !insertmacro PUT_IN_PLACE "WINIO.dll"
  !insertmacro PUT_IN_PLACE "PM.dll"
  !insertmacro PUT_IN_PLACE "common.dll"
  !insertmacro PUT_IN_PLACE "${UNINSTALLER}"
  ; Everything has landed: the copies it replaced go.
  !insertmacro DROP_EARLIER "Tabvisor.exe"
  !insertmacro DROP_EARLIER "WINIO.dll"
  !insertmacro DROP_EARLIER "PM.dll"
  !insertmacro DROP_EARLIER "common.dll"
  !insertmacro DROP_EARLIER "${UNINSTALLER}"

  !insertmacro FORGET_KEPT_LIBRARY "WINIO.dll"
  !insertmacro FORGET_KEPT_LIBRARY "PM.dll"
  !insertmacro FORGET_KEPT_LIBRARY "common.dll"
  ClearErrors
  !insertmacro RECORD_PLACED_LIBRARY "WINIO.dll"
  !insertmacro RECORD_PLACED_LIBRARY "PM.dll"
  !insertmacro RECORD_PLACED_LIBRARY "common.dll"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Architecture" "$Arch"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tabvisor.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    ; The files are what was packed; a record that is missing only makes a later setup keep that
    ; library as the maker's.
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT}'s files are in $INSTDIR, but the setup could not record them in the \
registry, so it is not fully installed. Run setup again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
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
