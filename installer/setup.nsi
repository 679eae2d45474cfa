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
; Exit codes of a silent run (/S, /D=folder last on the command line):
;   0 installed; 2 refused or failed, the host folder left as it was.

Unicode true
SetCompressor /SOLID lzma
; The host's folder is usually under Program Files.
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

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

; Windows constants for the calls made through the System plug-in.
!define MOVEFILE_REPLACE_EXISTING 1
!define MOVEFILE_COPY_ALLOWED 2
!define MOVEFILE_WRITE_THROUGH 8

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
BrandingText "${PUBLISHER}"
OutFile "${OUTFILE}"
!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND} "%1"' = 0
  !finalize '${SIGN_COMMAND} "%1"' = 0
!endif
; The host folder of the last install is offered again. The trailing
; backslash stops Browse from appending a folder name to the user's choice.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "HostFolder"
InstallDir "$PROGRAMFILES\"
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

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This will install the ${PRODUCT} ${VERSION}: two commands in the plug-in menu of the notation program, $\"Search/Replace - Note Entries$\" and $\"Search/Replace - Text$\".$\r$\n$\r$\nQuit the notation program before you go on.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!define MUI_PAGE_HEADER_TEXT "Choose the Notation Program"
!define MUI_PAGE_HEADER_SUBTEXT "Which notation program gets the plug-in?"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Choose the folder of the notation program: the folder that holds ${HOST_EXE}. The plug-in goes into its $\"${PLUGIN_FOLDER_NAME}$\" folder."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder of the notation program"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE RefuseFolderWithoutHost
!insertmacro MUI_PAGE_DIRECTORY
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

; A silent run has no page to refuse its folder on: it stops at once.
Function .onInit
  ${If} ${Silent}
  ${AndIfNot} ${FileExists} "$INSTDIR\${HOST_EXE}"
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; Leave function of the folder page: keeps the user on the page until the
; folder holds the host program.
Function RefuseFolderWithoutHost
  ${IfNot} ${FileExists} "$INSTDIR\${HOST_EXE}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "There is no ${HOST_EXE} in$\r$\n$INSTDIR$\r$\n$\r$\nChoose the folder of the notation program, the one that holds ${HOST_EXE}."
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
      SetErrorLevel 2
      Abort "The newer plug-in was kept. Nothing was changed."
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
  SetErrorLevel 2
  Abort "${message}"
!macroend

; Copies a file out of the temporary folder, or fails the install.
!macro COPY_OR_FAIL from to
  System::Call 'kernel32::CopyFileW(w "${from}", w "${to}", i 0) i .r0'
  ${If} $0 == 0
    !insertmacro FAIL_INSTALL "Could not write the file$\r$\n${to}$\r$\n(its folder may be read-only, or a folder may stand in its place). Nothing was installed."
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
  StrCpy $CreatedPluginFolder 0
  StrCpy $CreatedOwnFolder 0
  StrCpy $Swapped 0
  StrCpy $EntryWasThere 1
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayName"
  ${IfThen} ${Errors} ${|} StrCpy $EntryWasThere 0 ${|}
  Call AskBeforeReplacingNewerPlugin

  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "/oname=${PLUGIN_FILE}" "${PLUGIN}"
  File "/oname=INSTALL.txt" "${INSTALL_TEXT}"
  File "/oname=LICENSE.txt" "${LICENCE}"
  WriteUninstaller "$PLUGINSDIR\uninstall.exe"
  SetOutPath "$INSTDIR"  ; out of the temporary folder, so it can be removed

  ${IfNot} ${FileExists} "${OWN_FOLDER}\*.*"
    StrCpy $CreatedOwnFolder 1
    CreateDirectory "${OWN_FOLDER}"
    ${IfNot} ${FileExists} "${OWN_FOLDER}\*.*"
      !insertmacro FAIL_INSTALL "Could not create the folder$\r$\n${OWN_FOLDER}$\r$\n(a file may stand in its place). Nothing was installed."
    ${EndIf}
  ${EndIf}
  !insertmacro COPY_OR_FAIL "$PLUGINSDIR\INSTALL.txt" "${OWN_FOLDER}\INSTALL.txt"
  !insertmacro COPY_OR_FAIL "$PLUGINSDIR\LICENSE.txt" "${OWN_FOLDER}\LICENSE.txt"
  !insertmacro COPY_OR_FAIL "$PLUGINSDIR\uninstall.exe" "${OWN_FOLDER}\uninstall.exe"

  ${IfNot} ${FileExists} "$PluginFolder\*.*"
    ClearErrors
    CreateDirectory "$PluginFolder"
    ${If} ${Errors}
      !insertmacro FAIL_INSTALL "Could not create the folder$\r$\n$PluginFolder$\r$\nNothing was installed."
    ${EndIf}
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
    SetErrorLevel 2
    Abort "The plug-in file is in use. Nothing was changed."
    retry:
  ${Loop}
  StrCpy $Swapped 1
  DetailPrint "Installed: $PluginFolder\${PLUGIN_FILE}"

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
      SetErrorLevel 2
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
