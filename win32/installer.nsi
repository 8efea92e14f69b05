; Bitlicht's setup program, made by `make windows-installer`:
;   makensis -DVERSION=1.00 -DPROGRAM_DIR=<64-bit build dir> -DPROGRAM32=<32-bit bitlicht.exe>
;            -DOUTFILE=<setup.exe> installer.nsi
; Installs the program of the system's width (64-bit Windows: the 64-bit one,
; 32-bit Windows: the 32-bit one) and its two LED files into one folder, adds
; a start menu entry and registers the uninstaller; /S installs and
; uninstalls silently. The setup program itself is 32-bit: it runs on both.
; For everyone (Program Files, HKLM) when started by an administrator or with
; /AllUsers; else, or with /CurrentUser, for this user alone, with no
; elevation prompt (%LOCALAPPDATA%\Programs, HKCU). NSIS's MultiUser.nsh
; decides, and an administrator may choose on its page.
Unicode true
Target x86-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Bitlicht"
!define UNINSTALLER "Deinstallieren.exe"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Bitlicht"
!define MULTIUSER_USE_PROGRAMFILES64
; A second run installs where the first one did.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE \
    "Dieses Benutzerkonto darf $(^Name) nicht für alle Benutzer installieren: dazu braucht es Administratorrechte."
!include "MultiUser.nsh"
!include "MUI2.nsh"
!include "x64.nsh"

Name "Bitlicht ${VERSION}"
OutFile "${OUTFILE}"
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
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

; On 64-bit Windows in the 64-bit view of the registry ($PROGRAMFILES64 is
; the one program folder on 32-bit Windows), set before MultiUser.nsh looks
; for an earlier install there.
Function .onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    !insertmacro MULTIUSER_INIT
FunctionEnd

; The uninstaller is started with the mode it was installed in (/AllUsers or
; /CurrentUser, in its registry entry): an administrator's per-user install
; is not taken for a machine's.
Function un.onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    !insertmacro MULTIUSER_UNINIT
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

    ; HKLM for everyone, HKCU for this user (SHCTX follows the mode).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Bitlicht ${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Bitlicht-Team"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bitlicht.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
        '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
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
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
