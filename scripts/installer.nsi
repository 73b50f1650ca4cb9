; The Windows setup program: both programs, README and LICENSE for the current user, without
; elevation, in %LOCALAPPDATA%\Programs. Made by scripts/make-installer.sh, which defines
; VERSION (1.40.01), FILE_VERSION (1.40.1.0), PROGRAMS (the folder holding tempik-config.exe and
; tempikctl.exe), SOURCE (the checkout) and OUTFILE.
;
; The user's PATH is never edited: a rewrite of a long PATH can cut it and lose entries. A second
; Start menu shortcut opens a command prompt with the program folder on that prompt's PATH only.
; The uninstaller deletes the files it names and nothing else: the settings under
; HKCU\Software\KESTO\TEMPIKConfig and the ports\COM<n>-url.txt files belong to the user.

Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define APP_NAME "KESTO TEMPIK Punch-card Reader Config"
!define FOLDER "TEMPIK Config"
!define PUBLISHER "The tempik-config developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TEMPIKConfig"
!define WINDOW_LINK "$SMPROGRAMS\${FOLDER}\TEMPIK Config.lnk"
!define PROMPT_LINK "$SMPROGRAMS\${FOLDER}\TEMPIK Config command prompt.lnk"

!define MUI_ICON "${SOURCE}/ui/win32/images/window_icon.ico"
!define MUI_UNICON "${SOURCE}/ui/win32/images/window_icon.ico"
!include MUI2.nsh
!include FileFunc.nsh

Name "${APP_NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${FOLDER}"
; A second run goes where the first one installed, unless /D= says otherwise.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP_NAME} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "MIT License"

!define MUI_FINISHPAGE_RUN "$INSTDIR\tempik-config.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The pages speak the user's language when it is one of the window's three.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"

Section "Install"
    SetOutPath "$INSTDIR"
    File "${PROGRAMS}\tempik-config.exe"
    File "${PROGRAMS}\tempikctl.exe"
    File "/oname=README.txt" "${SOURCE}\README.md"
    File "/oname=LICENSE.txt" "${SOURCE}\LICENSE"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${FOLDER}"
    ; A shortcut starts in the output folder: the user's own folder, where their icon files are.
    SetOutPath "$PROFILE"
    CreateShortcut "${WINDOW_LINK}" "$INSTDIR\tempik-config.exe"
    CreateShortcut "${PROMPT_LINK}" "$SYSDIR\cmd.exe" \
        '/k "set "PATH=$INSTDIR;%PATH%" & tempikctl --version"' "$SYSDIR\cmd.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tempik-config.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; In the reverse order of the install. Folders go only when nothing of the user's is left in them.
Section "Uninstall"
    Delete "${WINDOW_LINK}"
    Delete "${PROMPT_LINK}"
    RMDir "$SMPROGRAMS\${FOLDER}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    Delete "$INSTDIR\tempik-config.exe"
    Delete "$INSTDIR\tempikctl.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
