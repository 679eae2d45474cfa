; The setup program of the plug-in. It puts vovadododidarov2000.fxt into the
; Plug-ins folder of the notation program the user picks (the folder that
; holds FINALE.EXE), and the install text, the licence and the uninstaller
; into a folder of their own, and registers the uninstaller with Windows.
;
; scripts/make-setup.py builds it and defines:
;   VERSION         the plug-in's FileVersion, shown and used in the file name
;   VERSION_NUMBER  the same as four numbers (a.b.c.d), for the setup's own
;                   version resource
;   PLUGIN, INSTALL_TEXT, LICENCE   the files to install
;   OUTFILE         the setup program to write
;   SIGN_COMMAND    (only when signing) the command that signs a file in
;                   place, given as its last word: it signs the uninstaller
;                   before it goes in, and the setup program once written
;
; The host folder: the one given with /D=, else the one of the last install
; while it still holds FINALE.EXE, else the notation program found where
; Windows registers programs (App Paths) or in the folders of Program Files
; with the highest file version (on equal versions the newest file). Only a
; 32-bit FINALE.EXE can load the plug-in: any other is left out of the
; search, and refused when given.
;
; Exit codes of a silent run (/S, /D=folder last on the command line if
; given): 0 installed; 2 refused or failed, the host folder left as it was.
; The reason it stops is appended to %TEMP%\vovadododidarov2000-setup.log.

Unicode true
SetCompressor /SOLID lzma
; The host's folder is usually under Program Files, the folder of its own
; and the uninstall entry always are: Windows asks for an administrator.
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "QZ Search/Replace plug-in"
!define PUBLISHER "QZPlugins"
!define PLUGIN_FILE "vovadododidarov2000.fxt"
!define HOST_EXE "FINALE.EXE"
!define PLUGIN_FOLDER_NAME "Plug-ins"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QZSearchReplace"
!define HOST_FOLDERS_KEY "${UNINSTALL_KEY}\HostFolders"
!define SETTINGS_KEY "Software\QZPlugins\QZSearchReplace111"
!define OWN_FOLDER "$PROGRAMFILES\QZPlugins\QZ Search-Replace"
!define OWN_FOLDER_PARENT "$PROGRAMFILES\QZPlugins"
; Where Windows registers programs, in each view of HKLM on 64-bit Windows.
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\${HOST_EXE}"
!define INSTALL_LOG "$TEMP\vovadododidarov2000-setup.log"
!define HOSTS_LIST "$PLUGINSDIR\hosts.ini"

; Windows constants for the calls made through the System plug-in.
!define MOVEFILE_REPLACE_EXISTING 1
!define MOVEFILE_COPY_ALLOWED 2
!define MOVEFILE_WRITE_THROUGH 8
!define ERROR_ACCESS_DENIED 5
; The machine word of a PE header: the one program kind that can load this
; plug-in, and those 64-bit Windows runs natively.
!define IMAGE_FILE_MACHINE_I386 0x014C
!define IMAGE_FILE_MACHINE_AMD64 0x8664
!define IMAGE_FILE_MACHINE_ARM64 0xAA64

; The name gives the captions too: "<name> Setup" and "<name> Uninstall".
Name "${PRODUCT} ${VERSION}"
BrandingText "${PUBLISHER}"
OutFile "${OUTFILE}"
!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND} "%1"' = 0
  !finalize '${SIGN_COMMAND} "%1"' = 0
!endif
; No InstallDir: $INSTDIR is empty in .onInit unless /D= gave a folder.
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_NUMBER}"
VIFileVersion "${VERSION_NUMBER}"

Var PluginFolder
Var CreatedPluginFolder
Var CreatedOwnFolder
Var Swapped        ; the new plug-in has replaced the old one
Var EntryWasThere  ; an earlier install's uninstall entry
Var OwnFolder      ; the uninstaller's: the folder the setup program recorded
Var HostCount      ; host folders found, listed in $PLUGINSDIR\hosts.ini
Var ChosenHost     ; the best of them
Var ChosenVersion  ; its version, "a.b.c.d"
Var ChosenKey      ; its version and file time as "a.b.c.d.t1.t2.t3.t4"
Var Upgrading      ; 1: the folder is the one of the last install
Var PassedOver     ; " " and why the last host left out cannot load it
Var HostList       ; the folder page's list and field
Var FolderField

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This will install the ${PRODUCT} ${VERSION}: two commands in the plug-in menu of the notation program, $\"Search/Replace - Note Entries$\" and $\"Search/Replace - Text$\".$\r$\n$\r$\nQuit the notation program before you go on.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
Page custom ShowHostPage LeaveHostPage
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "The plug-in is in$\r$\n$INSTDIR\${PLUGIN_FOLDER_NAME}.$\r$\n$\r$\nStart the notation program: its plug-in menu now has $\"Search/Replace - Note Entries$\" and $\"Search/Replace - Text$\".$\r$\n$\r$\nSave a score before a bulk change: the plug-in has no undo of its own."
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "The plug-in will be removed from the $\"${PLUGIN_FOLDER_NAME}$\" folder of the notation program, and its install text, licence and uninstaller from the folder below. Quit the notation program first. Click Uninstall to start."
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "Folder:"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright ${PUBLISHER}"

; The high and low 16 bits of a 32-bit word, as "high.low": numbers that
; compare right even when the word reads as negative.
!macro WORD_HALVES word halves
  IntOp $R9 ${word} >>> 16
  IntOp ${word} ${word} & 0xFFFF
  StrCpy ${halves} "$R9.${word}"
!macroend

; A silent run has no box to say why it stops: it appends the reason in $0
; to the install log, on one line.
Function LogWhyStopped
  ${IfNotThen} ${Silent} ${|} Return ${|}
  ${WordReplace} $0 "$\r$\n" " " "+" $0
  FileOpen $1 "${INSTALL_LOG}" a
  FileSeek $1 0 END
  FileWriteUTF16LE /BOM $1 "${PRODUCT} ${VERSION} setup: $0$\r$\n"
  FileClose $1
FunctionEnd

; Stops the install with exit code 2, the reason in the install log when
; silent.
!macro STOP message
  StrCpy $0 "${message}"
  Call LogWhyStopped
  Abort "${message}"
!macroend

; Whether $0\${HOST_EXE} can load this plug-in: only a 32-bit x86 program
; can. Reads the machine word of its PE header: "MZ", at 0x3C the offset
; of "PE\0\0", the machine word after it. $1: empty when it can, else a
; sentence that says why not. A word past the end of the file (or of a
; file that cannot be opened) reads as empty and matches none wanted, a
; number compared as text too; an offset past 64 KB, where no program has
; its header, is not followed.
Function WhyHostCannotLoad
  FileOpen $2 "$0\${HOST_EXE}" r
  FileReadWord $2 $3
  FileSeek $2 0x3C
  FileReadWord $2 $4
  FileReadWord $2 $5
  StrCpy $1 "damaged, or not a 32-bit Windows program"
  ${If} $3 = 0x5A4D  ; "MZ"
  ${AndIf} $5 == 0  ; the offset's high word
    FileSeek $2 $4
    FileReadWord $2 $3
    FileReadWord $2 $4
    FileReadWord $2 $5
    ${If} $3 = 0x4550  ; "PE"
    ${AndIf} $4 == 0
      ${If} $5 = ${IMAGE_FILE_MACHINE_I386}
        StrCpy $1 ""
      ${ElseIf} $5 = ${IMAGE_FILE_MACHINE_AMD64}
      ${OrIf} $5 = ${IMAGE_FILE_MACHINE_ARM64}
        StrCpy $1 "a 64-bit program"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  FileClose $2
  ${IfThen} $1 != "" ${|} StrCpy $1 "The ${HOST_EXE} in $0 is $1: it cannot load this plug-in, which is 32-bit." ${|}
FunctionEnd

; Lists the folder in $0 when it holds the host program, one that can load
; the plug-in, and is not listed yet, and chooses it when its file version
; is higher than the chosen one's or, on equal versions, its file is newer.
; A file without a version reads as 0.0.0.0.
Function ConsiderHost
  ${IfNot} ${FileExists} "$0\${HOST_EXE}"
    Return
  ${EndIf}
  StrCpy $R0 0
  ${DoWhile} $R0 < $HostCount
    IntOp $R0 $R0 + 1
    ReadINIStr $R1 "${HOSTS_LIST}" $R0 "Folder"
    ${IfThen} $R1 == $0 ${|} Return ${|}
  ${Loop}
  Call WhyHostCannotLoad
  ${If} $1 != ""
    StrCpy $PassedOver " $1"
    Return
  ${EndIf}
  GetDLLVersion "$0\${HOST_EXE}" $R1 $R2
  GetFileTime "$0\${HOST_EXE}" $R3 $R4
  !insertmacro WORD_HALVES $R1 $R5
  !insertmacro WORD_HALVES $R2 $R6
  !insertmacro WORD_HALVES $R3 $R7
  !insertmacro WORD_HALVES $R4 $R8
  IntOp $HostCount $HostCount + 1
  WriteINIStr "${HOSTS_LIST}" $HostCount "Folder" $0
  WriteINIStr "${HOSTS_LIST}" $HostCount "Version" "$R5.$R6"
  ${VersionCompare} "$R5.$R6.$R7.$R8" $ChosenKey $R9
  ${If} $ChosenHost == ""
  ${OrIf} $R9 == 1
    StrCpy $ChosenHost $0
    StrCpy $ChosenVersion "$R5.$R6"
    StrCpy $ChosenKey "$R5.$R6.$R7.$R8"
  ${EndIf}
FunctionEnd

; $0: the path registered for the host program, perhaps in quotes or with
; variables such as %ProgramFiles% in it.
Function ConsiderRegisteredHost
  ExpandEnvStrings $0 $0
  ${WordReplace} $0 '"' "" "+" $0
  ${GetParent} $0 $0
  ${IfThen} $0 != "" ${|} Call ConsiderHost ${|}
FunctionEnd

; The folders that hold the host program: the one registered for the
; current user, the ones registered for the machine (in the 32-bit view of
; the registry, then in the 64-bit one, which 32-bit Windows does not
; have: it reads the same key), and the folders of Program Files one and
; two levels down (the host is a 32-bit program).
Function FindHosts
  InitPluginsDir
  ReadRegStr $0 HKCU "${APP_PATHS_KEY}" ""
  Call ConsiderRegisteredHost
  ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
  Call ConsiderRegisteredHost
  SetRegView 64
  ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
  SetRegView default
  Call ConsiderRegisteredHost
  FindFirst $6 $7 "$PROGRAMFILES32\*"
  ${DoWhile} $7 != ""
    ${If} $7 != "."
    ${AndIf} $7 != ".."
      StrCpy $0 "$PROGRAMFILES32\$7"
      Call ConsiderHost
      FindFirst $8 $9 "$PROGRAMFILES32\$7\*"
      ${DoWhile} $9 != ""
        ${If} $9 != "."
        ${AndIf} $9 != ".."
          StrCpy $0 "$PROGRAMFILES32\$7\$9"
          Call ConsiderHost
        ${EndIf}
        FindNext $8 $9
      ${Loop}
      FindClose $8
    ${EndIf}
    FindNext $6 $7
  ${Loop}
  FindClose $6
FunctionEnd

; The host folder: /D= wins, then the folder of the last install while it
; still holds a host program that can load the plug-in, then the host
; found. A silent run has no page to refuse its folder on: without such a
; host it stops at once and says why in the install log.
Function .onInit
  Call FindHosts
  ${If} $INSTDIR == ""
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "HostFolder"
    StrCpy $INSTDIR $ChosenHost
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\${HOST_EXE}"
      Call WhyHostCannotLoad
      ${If} $1 == ""
        StrCpy $INSTDIR $0
        StrCpy $Upgrading 1
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} ${Silent}
    ${If} $INSTDIR == ""
      StrCpy $0 "No ${HOST_EXE} found that can load this plug-in, neither registered under App Paths nor in the folders of $PROGRAMFILES32, and no folder given with /D=.$PassedOver"
    ${ElseIfNot} ${FileExists} "$INSTDIR\${HOST_EXE}"
      StrCpy $0 "There is no ${HOST_EXE} in $INSTDIR."
    ${Else}
      StrCpy $0 $INSTDIR
      Call WhyHostCannotLoad
      ${IfThen} $1 == "" ${|} Return ${|}
      StrCpy $0 $1
    ${EndIf}
    StrCpy $0 "$0 Nothing was installed."
    Call LogWhyStopped
    Quit
  ${EndIf}
FunctionEnd

; The folder page: which host was found, the list of hosts when there are
; several, the folder and Browse.
Function ShowHostPage
  !insertmacro MUI_HEADER_TEXT "Choose the Notation Program" "Which notation program gets the plug-in?"
  nsDialogs::Create 1018
  Pop $0
  StrCpy $1 "The plug-in goes into the $\"${PLUGIN_FOLDER_NAME}$\" folder of the notation program."
  ${If} $Upgrading == 1
    StrCpy $1 "The plug-in was installed into the notation program in the folder below last time; the new one replaces it there. For another copy of the program, pick it or Browse to the folder that holds ${HOST_EXE}."
  ${ElseIf} $HostCount = 0
    StrCpy $1 "No notation program was found that can load this plug-in.$PassedOver Choose its folder: the folder that holds ${HOST_EXE}. $1"
  ${ElseIf} $HostCount = 1
    StrCpy $1 "Found the notation program, ${HOST_EXE} version $ChosenVersion, in the folder below. $1 For another copy of the program, Browse to the folder that holds ${HOST_EXE}."
  ${Else}
    StrCpy $1 "Found $HostCount copies of the notation program (${HOST_EXE}); the highest version, $ChosenVersion, is chosen. Pick another in the list or Browse to the folder that holds ${HOST_EXE}. $1"
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 36u $1
  Pop $0
  ${If} $HostCount > 1
    ${NSD_CreateListBox} 0 38u 100% 52u ""
    Pop $HostList
    ${For} $R0 1 $HostCount
      ReadINIStr $R1 "${HOSTS_LIST}" $R0 "Folder"
      ReadINIStr $R2 "${HOSTS_LIST}" $R0 "Version"
      ${NSD_LB_AddString} $HostList "$R1   (version $R2)"
      ${If} $R1 == $INSTDIR
        IntOp $R0 $R0 - 1
        SendMessage $HostList ${LB_SETCURSEL} $R0 0
        IntOp $R0 $R0 + 1
      ${EndIf}
    ${Next}
    ${NSD_OnChange} $HostList PickHost
  ${EndIf}
  ${NSD_CreateGroupBox} 0 96u 100% 36u "Folder of the notation program"
  Pop $0
  ${NSD_CreateDirRequest} 8u 111u 222u 13u $INSTDIR
  Pop $FolderField
  ${NSD_CreateBrowseButton} 236u 110u 56u 15u "B&rowse..."
  Pop $0
  ${NSD_OnClick} $0 BrowseForHost
  nsDialogs::Show
FunctionEnd

; A host picked in the list goes into the folder field.
Function PickHost
  Pop $0
  SendMessage $HostList ${LB_GETCURSEL} 0 0 $0
  IntOp $0 $0 + 1
  ReadINIStr $0 "${HOSTS_LIST}" $0 "Folder"
  ${NSD_SetText} $FolderField $0
FunctionEnd

Function BrowseForHost
  Pop $0
  ${NSD_GetText} $FolderField $0
  nsDialogs::SelectFolderDialog "Choose the folder that holds ${HOST_EXE}." $0
  Pop $0
  ${IfThen} $0 != "error" ${|} ${NSD_SetText} $FolderField $0 ${|}
FunctionEnd

; Keeps the user on the folder page until the folder holds a host program
; that can load the plug-in.
Function LeaveHostPage
  ${NSD_GetText} $FolderField $INSTDIR
  ${If} $INSTDIR == ""
  ${OrIfNot} ${FileExists} "$INSTDIR\${HOST_EXE}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "There is no ${HOST_EXE} in$\r$\n$INSTDIR$\r$\n$\r$\nChoose the folder of the notation program, the one that holds ${HOST_EXE}."
    Abort
  ${EndIf}
  StrCpy $0 $INSTDIR
  Call WhyHostCannotLoad
  ${If} $1 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$1$\r$\n$\r$\nChoose the folder of a 32-bit notation program, the one that holds its ${HOST_EXE}."
    Abort
  ${EndIf}
FunctionEnd

; An older setup program asks before it replaces a newer plug-in; No, the
; default and a silent run's answer, stops it with nothing changed.
Function AskBeforeReplacingNewerPlugin
  ClearErrors
  GetDLLVersion "$PluginFolder\${PLUGIN_FILE}" $R0 $R1
  ${IfThen} ${Errors} ${|} Return ${|}
  IntOp $R2 $R0 >> 16
  IntOp $R3 $R0 & 0xFFFF
  IntOp $R4 $R1 >> 16
  IntOp $R5 $R1 & 0xFFFF
  ${VersionCompare} "$R2.$R3.$R4.$R5" "${VERSION_NUMBER}" $R6
  ${If} $R6 == 1
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "The plug-in in$\r$\n$PluginFolder$\r$\nis newer (version $R2.$R3.$R4.$R5) than the one this setup program installs (${VERSION_NUMBER}).$\r$\n$\r$\nReplace it with the older one?" /SD IDNO IDYES replace
      !insertmacro STOP "The newer plug-in was kept. Nothing was changed."
    replace:
  ${EndIf}
FunctionEnd

; Puts back what the section changed, in the reverse order: the plug-in
; (from its copy in the temporary folder), the Plug-ins folder and, when
; there was no earlier install, the files of its own, their folder and the
; uninstall entry.
Function UndoInstall
  Delete "$PluginFolder\${PLUGIN_FILE}.new"
  ${If} $Swapped == 1
    ${If} ${FileExists} "$PLUGINSDIR\previous.fxt"
      System::Call 'kernel32::MoveFileExW(w "$PLUGINSDIR\previous.fxt", w "$PluginFolder\${PLUGIN_FILE}", i ${MOVEFILE_REPLACE_EXISTING}|${MOVEFILE_COPY_ALLOWED}|${MOVEFILE_WRITE_THROUGH}) i .r0'
    ${Else}
      Delete "$PluginFolder\${PLUGIN_FILE}"
    ${EndIf}
  ${EndIf}
  ${If} $CreatedPluginFolder == 1
    RMDir "$PluginFolder"
  ${EndIf}
  ${If} $EntryWasThere == 0
    Delete "${OWN_FOLDER}\INSTALL.txt"
    Delete "${OWN_FOLDER}\LICENSE.txt"
    Delete "${OWN_FOLDER}\uninstall.exe"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
  ${If} $CreatedOwnFolder == 1
    RMDir "${OWN_FOLDER}"
    RMDir "${OWN_FOLDER_PARENT}"
  ${EndIf}
FunctionEnd

; Stops the install with exit code 2 and everything as it was. Silent runs
; and the interactive box go the same way: the box has only OK.
!macro FAIL_INSTALL message
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  Call UndoInstall
  !insertmacro STOP "${message}"
!macroend

; Fails the install after Windows refused to write `path`, its error in $1.
; "Access denied" where nothing stands in the way means that the user may
; not write into that folder (Program Files, or the host's); a file or a
; folder standing there gets the message given.
!macro FAIL_WRITE path message
  ${If} $1 = ${ERROR_ACCESS_DENIED}
  ${AndIfNot} ${FileExists} "${path}"
    !insertmacro FAIL_INSTALL "The setup program needs administrator rights: Windows did not let it write$\r$\n${path}$\r$\nRun it as an administrator (right-click it, then Run as administrator). Nothing was installed."
  ${EndIf}
  !insertmacro FAIL_INSTALL "${message}"
!macroend

; Copies a file out of the temporary folder, or fails the install.
!macro COPY_OR_FAIL from to
  System::Call 'kernel32::CopyFileW(w "${from}", w "${to}", i 0) i .r0 ?e'
  Pop $1
  ${If} $0 == 0
    !insertmacro FAIL_WRITE "${to}" "Could not write the file$\r$\n${to}$\r$\n(its folder may be read-only, or a folder may stand in its place). Nothing was installed."
  ${EndIf}
!macroend

; Makes a folder whose parent is there, unless it is there, or fails the
; install.
!macro FOLDER_OR_FAIL folder message
  ${IfNot} ${FileExists} "${folder}\*.*"
    System::Call 'kernel32::CreateDirectoryW(w "${folder}", p 0) i .r0 ?e'
    Pop $1
    ${If} $0 == 0
      !insertmacro FAIL_WRITE "${folder}" "${message}"
    ${EndIf}
  ${EndIf}
!macroend

; The order keeps the host folder whole whatever fails: everything is first
; unpacked into the temporary folder (NSIS would offer Abort, Retry, Ignore
; on a file it cannot write, and Abort would leave a half install); then the
; folder of its own is filled, the new plug-in is written beside the old
; one and swapped in by one rename; the uninstall entry comes last.
Section "Plug-in"
  SectionIn RO
  StrCpy $PluginFolder "$INSTDIR\${PLUGIN_FOLDER_NAME}"
  StrCpy $EntryWasThere 1
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayName"
  ${IfThen} ${Errors} ${|} StrCpy $EntryWasThere 0 ${|}
  Call AskBeforeReplacingNewerPlugin

  ; The temporary folder was made at the start, by FindHosts.
  SetOutPath "$PLUGINSDIR"
  File "/oname=${PLUGIN_FILE}" "${PLUGIN}"
  File "/oname=INSTALL.txt" "${INSTALL_TEXT}"
  File "/oname=LICENSE.txt" "${LICENCE}"
  WriteUninstaller "$PLUGINSDIR\uninstall.exe"
  SetOutPath "$INSTDIR"  ; out of the temporary folder, so it can be removed

  !define NO_OWN_FOLDER "Could not create the folder$\r$\n${OWN_FOLDER}$\r$\n(a file may stand in its place). Nothing was installed."
  ${IfNot} ${FileExists} "${OWN_FOLDER}\*.*"
    StrCpy $CreatedOwnFolder 1
    !insertmacro FOLDER_OR_FAIL "${OWN_FOLDER_PARENT}" "${NO_OWN_FOLDER}"
    !insertmacro FOLDER_OR_FAIL "${OWN_FOLDER}" "${NO_OWN_FOLDER}"
  ${EndIf}
  !insertmacro COPY_OR_FAIL "$PLUGINSDIR\INSTALL.txt" "${OWN_FOLDER}\INSTALL.txt"
  !insertmacro COPY_OR_FAIL "$PLUGINSDIR\LICENSE.txt" "${OWN_FOLDER}\LICENSE.txt"
  !insertmacro COPY_OR_FAIL "$PLUGINSDIR\uninstall.exe" "${OWN_FOLDER}\uninstall.exe"

  ${IfNot} ${FileExists} "$PluginFolder\*.*"
    !insertmacro FOLDER_OR_FAIL "$PluginFolder" "Could not create the folder$\r$\n$PluginFolder$\r$\nNothing was installed."
    StrCpy $CreatedPluginFolder 1
  ${EndIf}
  !insertmacro COPY_OR_FAIL "$PLUGINSDIR\${PLUGIN_FILE}" "$PluginFolder\${PLUGIN_FILE}.new"
  ; The plug-in it replaces is kept in the temporary folder until the end,
  ; so that a later failure can put it back.
  ${If} ${FileExists} "$PluginFolder\${PLUGIN_FILE}"
    System::Call 'kernel32::CopyFileW(w "$PluginFolder\${PLUGIN_FILE}", w "$PLUGINSDIR\previous.fxt", i 0) i .r0'
  ${EndIf}
  ; Windows refuses to replace a plug-in that a running host has loaded.
  ${Do}
    System::Call 'kernel32::MoveFileExW(w "$PluginFolder\${PLUGIN_FILE}.new", w "$PluginFolder\${PLUGIN_FILE}", i ${MOVEFILE_REPLACE_EXISTING}|${MOVEFILE_WRITE_THROUGH}) i .r0'
    ${IfThen} $0 != 0 ${|} ${ExitDo} ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "The plug-in file cannot be replaced: the notation program is probably running and using it.$\r$\n$PluginFolder\${PLUGIN_FILE}$\r$\n$\r$\nQuit the notation program, then click Retry. Cancel stops the setup and leaves the plug-in as it was." /SD IDCANCEL IDRETRY retry
    Call UndoInstall
    !insertmacro STOP "The plug-in file is in use. Nothing was changed."
    retry:
  ${Loop}
  StrCpy $Swapped 1

  ${GetSize} "${OWN_FOLDER}" "/S=0K" $0 $1 $2
  ${GetSize} "$PluginFolder" "/M=${PLUGIN_FILE} /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  ; Every host folder installed into, each with whether the setup program
  ; made its Plug-ins folder (still so when an earlier install did). The
  ; error flag is clear from here on unless a write fails.
  ClearErrors
  ReadRegDWORD $1 HKLM "${HOST_FOLDERS_KEY}" "$INSTDIR"
  ${If} ${Errors}
  ${OrIf} $CreatedPluginFolder == 1
    ClearErrors
    WriteRegDWORD HKLM "${HOST_FOLDERS_KEY}" "$INSTDIR" $CreatedPluginFolder
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HostFolder" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${OWN_FOLDER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${OWN_FOLDER}\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${OWN_FOLDER}\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${OWN_FOLDER}\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  ${If} ${Errors}
    !insertmacro FAIL_INSTALL "Could not write the uninstall entry into the registry$\r$\nHKEY_LOCAL_MACHINE\${UNINSTALL_KEY}$\r$\nNothing was installed."
  ${EndIf}
SectionEnd

; Removes the plug-in from every host folder first: when one is in use and
; the user cancels, the uninstaller stays, to be run again.
Section "Uninstall"
  StrCpy $0 0
  ${Do}
    EnumRegValue $1 HKLM "${HOST_FOLDERS_KEY}" $0
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    IntOp $0 $0 + 1
    StrCpy $PluginFolder "$1\${PLUGIN_FOLDER_NAME}"
    ${Do}
      ClearErrors
      Delete "$PluginFolder\${PLUGIN_FILE}"
      ${IfNotThen} ${Errors} ${|} ${ExitDo} ${|}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "The plug-in file is in use:$\r$\n$PluginFolder\${PLUGIN_FILE}$\r$\n$\r$\nQuit the notation program, then click Retry. Cancel stops here; the uninstaller stays, so you can run it again." /SD IDCANCEL IDRETRY unretry
      Abort "The plug-in file is in use. Stopped."
      unretry:
    ${Loop}
    ; A Plug-ins folder it made goes only when empty (RMDir, never /r):
    ; the user may have put plug-ins or files of their own there since.
    ReadRegDWORD $2 HKLM "${HOST_FOLDERS_KEY}" $1
    ${IfThen} $2 == 1 ${|} RMDir "$PluginFolder" ${|}
  ${Loop}

  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove the plug-in's stored settings too?$\r$\n$\r$\nThey are the options and dialog places of both commands, kept under HKEY_CURRENT_USER\${SETTINGS_KEY}. Choose No to keep them for a later install." /SD IDNO IDNO keep_settings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\QZPlugins"
  keep_settings:

  ; From the folder the setup program recorded, never from wherever this
  ; uninstaller happens to run.
  ReadRegStr $OwnFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $OwnFolder != ""
    Delete "$OwnFolder\INSTALL.txt"
    Delete "$OwnFolder\LICENSE.txt"
    Delete "$OwnFolder\uninstall.exe"
    RMDir "$OwnFolder"
    RMDir "${OWN_FOLDER_PARENT}"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
