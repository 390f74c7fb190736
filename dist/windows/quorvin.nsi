; The Quorvin installer: puts quorvin.exe and its help file into Program Files, adds a
; Start-menu entry and an entry in Windows' list of installed programs. The uninstaller
; removes what this installer put there and nothing else: the user's setting
; (%APPDATA%\Quorvin\quorvin.ini) stays.
;
; Made by the Windows build (cmake/WindowsPackage.cmake), which defines on the command line:
;   PRODUCT_VERSION  1.0.0.0        FILE_VERSION  2023.0.0.0
;   PROGRAM_DIR      the folder with quorvin.exe and quorvin.chm
;   ICON             the application icon
;   PUBLISHER        the maker's name for the list of programs
;   OUTFILE          the installer to write
; Both the installer and the uninstaller run without asking anything when given /S.

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
; Common controls 6 come from the system's side-by-side store, never from a COMCTL32.dll
; beside the installer; the installer's other libraries are Known DLLs or, in NSIS 3, loaded
; from the system folder only (its stub calls SetDefaultDllDirectories first).
XPStyle on
ManifestSupportedOS all
; No file's own time goes into the installer: two builds of one commit give one file.
SetDateSave off

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvin"

Name "Quorvin"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quorvin"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quorvin ${PRODUCT_VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\quorvin.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the user's language is neither.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

; The version record, as the program's own: Chinese (PRC), file version in both fixed fields.
VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Quorvin"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Quorvin 安装程序 Setup"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Copyright (C) 2023 ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${PRODUCT_VERSION}"

Section "Quorvin"
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}\quorvin.exe"
  File "${PROGRAM_DIR}\quorvin.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; For every user of the machine, as the program folder is.
  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Quorvin.lnk" "$INSTDIR\quorvin.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quorvin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\quorvin.exe$\",0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\quorvin.exe"
  Delete "$INSTDIR\quorvin.chm"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a settings file that an administrator's run left here stays.
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Quorvin.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
