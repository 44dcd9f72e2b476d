; The Vesk installer. Built by scripts/release.sh with makensis -INPUTCHARSET UTF8 and
;   VERSION     the project version (x.y.z)
;   STAGE64     the 64-bit release folder, STAGE32 the 32-bit one
;   FILES_NSH   Delete lines for every file the two folders hold (the uninstaller's list)
;   OUTFILE     the installer to write
; Per user and without elevation: the watch keeps Setting.xml and Alarm.xml beside itself, so
; it must live in a folder the user can write to.

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include WinMessages.nsh
!include x64.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vesk"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The watch window's class: a running watch is found and asked to close by it.
!define WATCH_CLASS "Korvanex-100"
!define CLOSE_WAIT_MS 15000

Name "Vesk ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vesk"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vesk ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Vesk"
VIAddVersionKey /LANG=1041 "FileDescription" "Vesk セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Vesk"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vesk.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Vesk を起動する"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; Asks a running watch to close, as its menu's quit would, and waits a bounded time for the
; process to end, so its files can be replaced and it saves its settings before that.
!macro CLOSE_RUNNING_WATCH PREFIX
Function ${PREFIX}closeRunningWatch
  FindWindow $0 "${WATCH_CLASS}"
  ${If} $0 = 0
    Return
  ${EndIf}
  DetailPrint "起動中の Vesk を終了しています..."
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  ; SYNCHRONIZE: enough to wait for the process.
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${If} $2 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_WAIT_MS}) i .r3'
    System::Call 'kernel32::CloseHandle(p r2)'
  ${Else}
    StrCpy $3 0
    ${Do}
      Sleep 100
      IntOp $3 $3 + 100
      FindWindow $0 "${WATCH_CLASS}"
      ${If} $0 = 0
      ${OrIf} $3 >= ${CLOSE_WAIT_MS}
        ${ExitDo}
      ${EndIf}
    ${Loop}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_WATCH ""
!insertmacro CLOSE_RUNNING_WATCH "un."

Section "Vesk" SecProgram
  SectionIn RO
  Call closeRunningWatch
  SetOutPath "$INSTDIR"
  ; The 64-bit program where Windows can run it, the 32-bit one elsewhere.
  ${If} ${RunningX64}
    File /r "${STAGE64}\*.*"
  ${Else}
    File /r "${STAGE32}\*.*"
  ${EndIf}
  CreateDirectory "$INSTDIR\plugin"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Vesk.lnk" "$INSTDIR\Vesk.exe"
  ; The next section writes it again when it stays ticked.
  DeleteRegValue HKCU "${RUN_KEY}" "Vesk"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vesk"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vesk"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vesk.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "ログオン時に Vesk を起動する" SecRunAtLogon
  WriteRegStr HKCU "${RUN_KEY}" "Vesk" '"$INSTDIR\Vesk.exe"'
SectionEnd

Section "un.Vesk" UnSecProgram
  SectionIn RO
  Call un.closeRunningWatch
  !include "${FILES_NSH}"
  Delete "$INSTDIR\uninstall.exe"
  ; Left in place when they hold plug-ins the user added.
  RMDir "$INSTDIR\plugin"
  RMDir "$INSTDIR\licenses"
  Delete "$SMPROGRAMS\Vesk.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Vesk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.設定とアラーム (Setting.xml と Alarm.xml) も削除する" UnSecUserFiles
  Delete "$INSTDIR\Setting.xml"
  Delete "$INSTDIR\Alarm.xml"
SectionEnd

Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd
