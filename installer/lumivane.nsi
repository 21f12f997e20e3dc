; The Windows installer: programs and archives under Program Files, the registry value the
; screensaver reads its installation folder from, the screensaver where Windows looks for it,
; and an uninstaller that takes all of it away again.
;   makensis -DBUILD_DIR=$PWD/build-win -DOUT_FILE=$PWD/build-win/Lumivane-setup.exe installer/lumivane.nsi
; (absolute paths: makensis reads files relative to this script's folder), or scripts/windows-build.sh.
; Silent: Lumivane-setup.exe /S, uninstall.exe /S.
; With -DWIN64 it is the 64-bit build's installer (a 64-bit installer itself), which installs into
; the 64-bit Program Files, System32 and registry view; the two can be installed side by side.

Unicode true
!ifdef WIN64
  Target amd64-unicode
!endif
!include "MUI2.nsh"

!ifndef BUILD_DIR
  !define BUILD_DIR "..\build-win"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "${BUILD_DIR}\Lumivane-setup.exe"
!endif

; VERSION, the project's version, written by the build.
!include "${BUILD_DIR}\version.nsh"

!define SETTINGS_KEY "Software\Nobrell\Lumivane\Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumivane"

Name "Lumivane"
OutFile "${OUT_FILE}"
!ifdef WIN64
  InstallDir "$PROGRAMFILES64\Nobrell\Lumivane"
!else
  ; A 32-bit program: Program Files (x86) on 64-bit Windows.
  InstallDir "$PROGRAMFILES\Nobrell\Lumivane"
!endif
InstallDirRegKey HKLM "${SETTINGS_KEY}" "Path"
RequestExecutionLevel admin
; Sharp on scaled displays; the pages are laid out in dialog units, so they scale.
ManifestDPIAware true
ManifestSupportedOS all
!define MUI_ICON "${BUILD_DIR}\lumivane.ico"
!define MUI_UNICON "${BUILD_DIR}\lumivane.ico"
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Lumivane"
VIAddVersionKey /LANG=1033 "CompanyName" "Nobrell"
VIAddVersionKey /LANG=1033 "FileDescription" "Lumivane screensaver setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Nobrell"
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Each build's programs read the registry view of their own width.
!ifdef WIN64
  !define OWN_VIEW 64
  !define OTHER_VIEW 32
!else
  !define OWN_VIEW 32
  !define OTHER_VIEW 64
!endif
Function .onInit
  SetRegView ${OWN_VIEW}
FunctionEnd
Function un.onInit
  SetRegView ${OWN_VIEW}
FunctionEnd

Section "Lumivane"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}\Lumivane.exe"
  File "${BUILD_DIR}\config.exe"
  File "${BUILD_DIR}\pak.exe"
  File "${BUILD_DIR}\main.pak"
  File "${BUILD_DIR}\clock.pak"
  File "${BUILD_DIR}\calendar.pak"
  File "${BUILD_DIR}\utils.pak"
  File "${BUILD_DIR}\debug.pak"
  File "${BUILD_DIR}\preview.ppk"

  ; The screensaver finds its archives through this value; file names are appended to it.
  WriteRegStr HKLM "${SETTINGS_KEY}" "Path" "$INSTDIR\"

  ; Windows lists the .scr files of the system folder (SysWOW64 for a 32-bit one on 64-bit
  ; Windows, which is where a 32-bit installer's system folder points; System32 for the 64-bit
  ; installer).
  SetOutPath "$SYSDIR"
  File "${BUILD_DIR}\Lumivane.scr"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Lumivane screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Nobrell"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lumivane.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SYSDIR\Lumivane.scr"
  Delete "$INSTDIR\Lumivane.exe"
  Delete "$INSTDIR\config.exe"
  Delete "$INSTDIR\pak.exe"
  Delete "$INSTDIR\main.pak"
  Delete "$INSTDIR\clock.pak"
  Delete "$INSTDIR\calendar.pak"
  Delete "$INSTDIR\utils.pak"
  Delete "$INSTDIR\debug.pak"
  Delete "$INSTDIR\preview.ppk"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  ; The settings file the Settings dialog wrote, in the all-users application data folder. Both
  ; builds read the same file, so it stays while the other one is still installed.
  SetRegView ${OTHER_VIEW}
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Path"
  SetRegView ${OWN_VIEW}
  StrCmp $0 "" 0 +2
    Delete "$APPDATA\nobrell_Lumivane_cfg"
  DeleteRegKey HKLM "Software\Nobrell\Lumivane"
  DeleteRegKey /ifempty HKLM "Software\Nobrell"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
