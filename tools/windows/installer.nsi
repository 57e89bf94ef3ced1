; The installer of the desk for Windows: inkstone-<version>-setup.exe. Made by
; tools/windows/make_installer.sh from the folder the portable zip holds, whose files
; installer_files.py lists in install_files.nsh and uninstall_files.nsh:
;
;   makensis -DVERSION=<version> -DLISTS=<their folder> -DOUTFILE=<setup.exe> installer.nsi
;
; The program goes into <install folder>\bin with its libraries and plugins, the empty chapter
; database (a template) into <install folder>\share\inkstone\empty-database: a desk so installed
; keeps the author's chapters in %APPDATA%\Inkstone, never in the install folder, so that an
; update or an uninstall never touches them. Installs for the current user (no administrator needed) or for all users;
; "/S" installs silently (for the current user unless "/AllUsers" is given).
; A 64-bit installer: the desk runs on 64-bit Windows only, and Wine here runs 64-bit programs only.
Target amd64-unicode
SetCompressor /SOLID lzma

!define NAME "写作台 — Inkstone"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkstone"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Inkstone"
!define MULTIUSER_USE_PROGRAMFILES64
!include MultiUser.nsh
!include MUI2.nsh
!include x64.nsh

Name "${NAME}"
OutFile "${OUTFILE}"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  !include "${LISTS}/install_files.nsh"
  SetOutPath "$INSTDIR\bin"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\写作台.lnk" "$INSTDIR\bin\inkstone.exe"
  WriteRegStr SHCTX "${KEY}" "DisplayName" "${NAME}"
  WriteRegStr SHCTX "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${KEY}" "Publisher" "Inkstone"
  WriteRegStr SHCTX "${KEY}" "DisplayIcon" "$INSTDIR\bin\inkstone.exe"
  WriteRegStr SHCTX "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${KEY}" "NoRepair" 1
SectionEnd

; Exactly what the installer put there, file by file; a folder goes only when that left it
; empty (RMDir without /r). The install folder is the author's choice and may hold the author's
; own files; the chapters themselves live in %APPDATA%\Inkstone.
Section "Uninstall"
  Delete "$SMPROGRAMS\写作台.lnk"
  !include "${LISTS}/uninstall_files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${KEY}"
SectionEnd
