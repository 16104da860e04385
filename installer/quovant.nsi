; The Windows installer of the two import wizards and formconv, for the current user alone: the
; wizards write their hand-off file beside themselves, so they go into a folder the user can
; write, and the host product starts them there.
;   makensis -DBUILD=<build folder> -DOUTFILE=<installer> quovant.nsi
Unicode true
Target amd64-unicode
!include "MUI2.nsh"

!define PRODUCT "クォヴァント CSV取込ウィザード"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quovant"
!define MORVANE_LINK "$SMPROGRAMS\クォヴァント\クォヴァント CSVエディタ 積算データ編.lnk"
!define PELLISK_LINK "$SMPROGRAMS\クォヴァント\クォヴァント CSV→CODE単価.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Quovant"
SetCompressor /SOLID lzma
ManifestDPIAware true

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD}/wizards/morvane/morvane.exe"
  File "${BUILD}/wizards/pellisk/pellisk.exe"
  File "${BUILD}/tools/formconv/formconv.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\クォヴァント"
  CreateShortcut "${MORVANE_LINK}" "$INSTDIR\morvane.exe"
  CreateShortcut "${PELLISK_LINK}" "$INSTDIR\pellisk.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\morvane.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quovant"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; What the installer put there and what the wizards write there: the hand-off file, and a
; temporary one that a wizard ended outright left behind. Anything else the user put into the
; folder stays, and so does the folder then.
Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\morvane.exe"
  Delete "$INSTDIR\pellisk.exe"
  Delete "$INSTDIR\formconv.exe"
  Delete "$INSTDIR\csv_inport.tmp"
  Delete "$INSTDIR\csv_inport.tmp.*.part"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "${MORVANE_LINK}"
  Delete "${PELLISK_LINK}"
  RMDir "$SMPROGRAMS\クォヴァント"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
