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
!define MOVEFILE_WRITE_THROUGH 8

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
BrandingText "${PUBLISHER}"
OutFile "${OUTFILE}"
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

; Undoes what the section did to the host folder, then stops the install
; with exit code 2.
!macro UNDO_AND_ABORT message
  Delete "$PluginFolder\${PLUGIN_FILE}.new"
  ${If} $CreatedPluginFolder == 1
    RMDir "$PluginFolder"
  ${EndIf}
  SetErrorLevel 2
  Abort "${message}"
!macroend

!macro FAIL_INSTALL message
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  !insertmacro UNDO_AND_ABORT "${message}"
!macroend

Section "Plug-in"
  SectionIn RO
  StrCpy $PluginFolder "$INSTDIR\${PLUGIN_FOLDER_NAME}"
  StrCpy $CreatedPluginFolder 0
  ${IfNot} ${FileExists} "$PluginFolder\*.*"
    ClearErrors
    CreateDirectory "$PluginFolder"
    ${If} ${Errors}
      !insertmacro FAIL_INSTALL "Could not create the folder$\r$\n$PluginFolder$\r$\nNothing was installed."
    ${EndIf}
    StrCpy $CreatedPluginFolder 1
  ${EndIf}

  ; The new plug-in is written beside the old one under another name, then
  ; swapped in by one rename: the folder always holds a whole plug-in, the
  ; old one or the new one.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "/oname=${PLUGIN_FILE}" "${PLUGIN}"
  SetOutPath "$INSTDIR"  ; out of the temporary folder, so it can be removed
  System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\${PLUGIN_FILE}", w "$PluginFolder\${PLUGIN_FILE}.new", i 0) i .r0'
  ${If} $0 == 0
    !insertmacro FAIL_INSTALL "Could not write into the folder$\r$\n$PluginFolder$\r$\n(it may be read-only). Nothing was installed."
  ${EndIf}
  ; Windows refuses to replace a plug-in that a running host has loaded.
  ${Do}
    System::Call 'kernel32::MoveFileExW(w "$PluginFolder\${PLUGIN_FILE}.new", w "$PluginFolder\${PLUGIN_FILE}", i ${MOVEFILE_REPLACE_EXISTING}|${MOVEFILE_WRITE_THROUGH}) i .r0'
    ${IfThen} $0 != 0 ${|} ${ExitDo} ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "The plug-in file cannot be replaced: the notation program is probably running and using it.$\r$\n$PluginFolder\${PLUGIN_FILE}$\r$\n$\r$\nQuit the notation program, then click Retry. Cancel stops the setup and leaves the plug-in as it was." /SD IDCANCEL IDRETRY retry
    !insertmacro UNDO_AND_ABORT "The plug-in file is in use. Nothing was changed."
    retry:
  ${Loop}
  DetailPrint "Installed: $PluginFolder\${PLUGIN_FILE}"

  SetOutPath "${OWN_FOLDER}"
  File "/oname=INSTALL.txt" "${INSTALL_TEXT}"
  File "/oname=LICENSE.txt" "${LICENCE}"
  WriteUninstaller "${OWN_FOLDER}\uninstall.exe"

  ; Every host folder installed into, each with whether the setup program
  ; made its Plug-ins folder (still so when an earlier install did).
  ClearErrors
  ReadRegDWORD $0 HKLM "${HOST_FOLDERS_KEY}" "$INSTDIR"
  ${If} ${Errors}
  ${OrIf} $CreatedPluginFolder == 1
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
  ${GetSize} "${OWN_FOLDER}" "/S=0K" $0 $1 $2
  ${GetSize} "$PluginFolder" "/M=${PLUGIN_FILE} /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
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
    ReadRegDWORD $2 HKLM "${HOST_FOLDERS_KEY}" $1
    ${IfThen} $2 == 1 ${|} RMDir "$PluginFolder" ${|}
  ${Loop}

  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove the plug-in's stored settings too?$\r$\n$\r$\nThey are the options and dialog places of both commands, kept under HKEY_CURRENT_USER\${SETTINGS_KEY}. Choose No to keep them for a later install." /SD IDNO IDNO keep_settings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\QZPlugins"
  keep_settings:

  Delete "$INSTDIR\INSTALL.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "${OWN_FOLDER_PARENT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
