; Installer of Kelvra for 32-bit (ARCH=x86) or 64-bit (ARCH=x64) Windows,
; made by makensis from the deliverables of one build tree (installer/
; CMakeLists.txt passes their paths as KELVRA, KELVRA_OPEN, KELVRA_THUMB,
; VANTEL, VARNEX and KLVXP, and the installer's name as OUTFILE).
;
; Installing puts the programs and the folder template into
; c:\program files\kelvra, maps .fit, .fts and .fits to the file type
; Kelvra.FitsImage where they have none, registers vantel.dll and KLVXP.dll
; and writes the entry of the list of installed programs. The uninstaller
; undoes all of it and, unless told to keep settings, also removes the
; viewer's stored window placement.
;
; Silent use:  Kelvra-setup-x64.exe /S
;              "c:\program files\kelvra\uninstall.exe" /S [/KEEPSETTINGS]

Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!else if ${ARCH} == x86
  Target x86-unicode
!else
  !error "ARCH must be x86 or x64"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh
!include x64.nsh

; The folder command of KLVXP.dll reads its template from this fixed path, so
; the programs go exactly there and nowhere else.
!define INSTALL_FOLDER "c:\program files\kelvra"
; At most 39 characters: KLVXP.dll reads the file type of .fit into 40 bytes.
!define FILE_TYPE "Kelvra.FitsImage"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvra"
!define SETTINGS_KEY "Software\Corvane\Kelvra\Pos"
!define VIEWER_CLASS "lumora_app_class"
!define SHCNE_ASSOCCHANGED 0x08000000
!define SYNCHRONIZE 0x00100000

!getdllversion "${KELVRA}" KELVRA_VERSION_
!define VERSION "${KELVRA_VERSION_1}.${KELVRA_VERSION_2}.${KELVRA_VERSION_3}"

Name "Kelvra ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${INSTALL_FOLDER}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

Page instfiles
PageEx un.components
  ComponentText "Untick Settings to keep the viewer's window placement for a later installation."
PageExEnd
UninstPage instfiles

Var OwnsFileType  ; 1 when at least one extension maps to FILE_TYPE because of us

; Asks a running viewer to close and waits for its process to end, so that
; its files can be replaced or deleted and the placement it stores on
; closing is written before the uninstaller looks at it.
!macro CloseViewerFunction UN
  Function ${UN}CloseViewer
    FindWindow $R0 "${VIEWER_CLASS}"
    ${If} $R0 <> 0
      System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R1) p .R2'
      DetailPrint "Closing the running viewer"
      SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
      ${If} $R2 <> 0
        System::Call 'kernel32::WaitForSingleObject(p R2, i 10000)'
        System::Call 'kernel32::CloseHandle(p R2)'
      ${EndIf}
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro CloseViewerFunction ""
!insertmacro CloseViewerFunction "un."

!macro SelectRegistryView
  !if ${ARCH} == x64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !if ${ARCH} == x86
    ; A 64-bit Explorer loads no 32-bit shell extension.
    ${If} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This is the installer for 32-bit Windows. Use Kelvra-setup-x64.exe on 64-bit Windows." /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  !endif
  !insertmacro SelectRegistryView
  ; /D= cannot move the programs: the folder command would miss its template.
  StrCpy $INSTDIR "${INSTALL_FOLDER}"
FunctionEnd

; Maps the extension on the stack to FILE_TYPE unless it has a file type of
; its own already. Each mapping is recorded under the uninstall key as
; "Mapped<extension>": "key" when the installer created the extension's key,
; "value" when the key was there (an empty key, as the thumbnail extension's
; unregistration leaves it) and only its default value is ours. A mapping to
; FILE_TYPE left by an earlier installation keeps its record.
Function MapExtension
  Exch $R0
  Push $R1
  Push $R2
  ReadRegStr $R1 HKCR "$R0" ""
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "Mapped$R0"
  ${If} $R1 != ""
  ${AndIf} $R1 != "${FILE_TYPE}"
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "Mapped$R0"
    DetailPrint "$R0 files keep their file type $R1"
  ${Else}
    ${If} $R1 == ""
    ${OrIf} $R2 == ""
      ClearErrors
      EnumRegKey $R2 HKCR "$R0" 0
      ${If} ${Errors}
        WriteRegStr HKLM "${UNINSTALL_KEY}" "Mapped$R0" "key"
      ${Else}
        WriteRegStr HKLM "${UNINSTALL_KEY}" "Mapped$R0" "value"
      ${EndIf}
      WriteRegStr HKCR "$R0" "" "${FILE_TYPE}"
    ${EndIf}
    StrCpy $OwnsFileType 1
    DetailPrint "$R0 files: ${FILE_TYPE}"
  ${EndIf}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; Runs regsvr32 on the installed DLL named on the stack. A failure is shown
; (and only logged in silent mode) and makes the installer's exit code 2.
Function RegisterServer
  Exch $R0
  Push $R1
  StrCpy $R1 ""
  ClearErrors
  ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\$R0"' $R1
  ${If} ${Errors}
  ${OrIf} $R1 != 0
    DetailPrint "Registering $R0 failed (regsvr32 exit code $R1)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "Registering $R0 failed (regsvr32 exit code $R1)." /SD IDOK
    SetErrorLevel 2
  ${Else}
    DetailPrint "Registered $R0"
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd

Section "Kelvra"
  SectionIn RO
  Call CloseViewer

  SetOutPath "$INSTDIR"
  File "/oname=Kelvra.exe" "${KELVRA}"
  File "/oname=kelvra-open.exe" "${KELVRA_OPEN}"
  File "/oname=kelvra-thumb.exe" "${KELVRA_THUMB}"
  File "/oname=vantel.dll" "${VANTEL}"
  File "/oname=Varnex.dll" "${VARNEX}"
  File "/oname=KLVXP.dll" "${KLVXP}"
  SetOutPath "$INSTDIR\XPViews"
  File "desktop.ini"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kelvra FITS viewer"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Corvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kelvra.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The file type first: KLVXP.dll registers under the file type of .fit.
  StrCpy $OwnsFileType 0
  Push ".fit"
  Call MapExtension
  Push ".fts"
  Call MapExtension
  Push ".fits"
  Call MapExtension
  ${If} $OwnsFileType == 1
    WriteRegStr HKCR "${FILE_TYPE}" "" "FITS image"
    WriteRegStr HKCR "${FILE_TYPE}\DefaultIcon" "" "$INSTDIR\Kelvra.exe,0"
    WriteRegStr HKCR "${FILE_TYPE}\shell\open\command" "" '"$INSTDIR\kelvra-open.exe" "%1"'
  ${EndIf}

  Push "vantel.dll"
  Call RegisterServer
  Push "KLVXP.dll"
  Call RegisterServer

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

; Takes back the mapping of the extension on the stack where the installer
; made it and nobody has changed it since, and the extension's key where the
; installer created it and nothing else is in it.
Function un.UnmapExtension
  Exch $R0
  Push $R1
  Push $R2
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "Mapped$R0"
  ReadRegStr $R2 HKCR "$R0" ""
  ${If} $R1 != ""
    StrCpy $OwnsFileType 1
    ${If} $R2 == "${FILE_TYPE}"
      DeleteRegValue HKCR "$R0" ""
      ${If} $R1 == "key"
        DeleteRegKey /ifnosubkeys /ifnovalues HKCR "$R0"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; Runs regsvr32 /u on the installed DLL named on the stack. Its result does
; not matter: an entry that is gone already needs no removing.
Function un.UnregisterServer
  Exch $R0
  ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\$R0"'
  Pop $R0
FunctionEnd

Section "un.Kelvra"
  SectionIn RO
  Call un.CloseViewer

  ; KLVXP.dll finds its handler key through the file type of .fit, so it goes
  ; while that mapping still exists.
  Push "KLVXP.dll"
  Call un.UnregisterServer
  Push "vantel.dll"
  Call un.UnregisterServer

  StrCpy $OwnsFileType 0
  Push ".fit"
  Call un.UnmapExtension
  Push ".fts"
  Call un.UnmapExtension
  Push ".fits"
  Call un.UnmapExtension
  ${If} $OwnsFileType == 1
    DeleteRegKey HKCR "${FILE_TYPE}"
  ${EndIf}
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ; Explorer may hold the extensions loaded: those go at the next restart.
  Delete /REBOOTOK "$INSTDIR\Kelvra.exe"
  Delete /REBOOTOK "$INSTDIR\kelvra-open.exe"
  Delete /REBOOTOK "$INSTDIR\kelvra-thumb.exe"
  Delete /REBOOTOK "$INSTDIR\vantel.dll"
  Delete /REBOOTOK "$INSTDIR\Varnex.dll"
  Delete /REBOOTOK "$INSTDIR\KLVXP.dll"
  Delete "$INSTDIR\XPViews\desktop.ini"
  RMDir "$INSTDIR\XPViews"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd

Section "un.Settings" SecSettings
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKLM "Software\Corvane\Kelvra"
  DeleteRegKey /ifnosubkeys /ifnovalues HKLM "Software\Corvane"
SectionEnd

; Last, so that the key's records serve every step before.
Section "-un.Uninstall entry"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; /KEEPSETTINGS keeps the viewer's window placement, as unticking Settings
; does in the window.
Function un.onInit
  !insertmacro SelectRegistryView
  ${un.GetParameters} $R0
  ClearErrors
  ${un.GetOptions} $R0 "/KEEPSETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecSettings}
  ${EndIf}
FunctionEnd
