; Bitlicht's setup program, made by `make windows-installer`:
;   makensis -DVERSION=1.00 -DPROGRAM_DIR=<64-bit build dir> -DPROGRAM32=<32-bit bitlicht.exe>
;            -DOUTFILE=<setup.exe> installer.nsi
; Installs the program of the system's width (64-bit Windows: the 64-bit one,
; 32-bit Windows: the 32-bit one) and its two LED files into one folder, adds
; a start menu entry and registers the uninstaller; /S installs and
; uninstalls silently. The setup program itself is 32-bit: it runs on both.
Unicode true
Target x86-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

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

; For every user; on 64-bit Windows in the 64-bit view of the registry
; ($PROGRAMFILES64 is the one program folder on 32-bit Windows).
!macro ForEveryUser
    SetShellVarContext all
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
!macroend

Function .onInit
    !insertmacro ForEveryUser
FunctionEnd

Function un.onInit
    !insertmacro ForEveryUser
FunctionEnd

Section "Bitlicht"
    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        File "${PROGRAM_DIR}/bitlicht.exe"
    ${Else}
        File "/oname=bitlicht.exe" "${PROGRAM32}"
    ${EndIf}
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
