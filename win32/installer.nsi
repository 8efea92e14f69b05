; Bitlicht's setup program, made by `make windows-installer`:
;   makensis -DVERSION=1.00 -DPROGRAM_DIR=<build dir> -DOUTFILE=<setup.exe> installer.nsi
; Installs the program and its two LED files into one folder, adds a start
; menu entry and registers the uninstaller; /S installs and uninstalls silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Bitlicht"
!define UNINSTALLER "Deinstallieren.exe"

Name "Bitlicht ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Bitlicht"
RequestExecutionLevel admin
VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=1031 "ProductName" "Bitlicht"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "FileDescription" "Bitlicht ${VERSION} – Installation"
VIAddVersionKey /LANG=1031 "CompanyName" "Bitlicht-Team"
VIAddVersionKey /LANG=1031 "LegalCopyright" "© Bitlicht-Team"

!define MUI_ICON "${PROGRAM_DIR}/LEDgruenDu.ico"
!define MUI_UNICON "${PROGRAM_DIR}/LEDgruenDu.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bitlicht.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

; For every user, in the 64-bit view of the registry.
Function .onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Section "Bitlicht"
    SetOutPath "$INSTDIR"
    File "${PROGRAM_DIR}/bitlicht.exe"
    File "${PROGRAM_DIR}/LEDgruenDu.ico"
    File "${PROGRAM_DIR}/LEDgruenHe.ico"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\Bitlicht.lnk" "$INSTDIR\bitlicht.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Bitlicht ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Bitlicht-Team"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bitlicht.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes exactly what was installed; the folder goes only if nothing else
; was put into it.
Section "Uninstall"
    Delete "$INSTDIR\bitlicht.exe"
    Delete "$INSTDIR\LEDgruenDu.ico"
    Delete "$INSTDIR\LEDgruenHe.ico"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Bitlicht.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
