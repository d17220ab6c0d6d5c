; The Windows installer of Tavo Wallpaper 2: a per-user install that needs no administrator rights.
;
; makensis /DVERSION=2.0.4.3 /DARCH=win32|win64 /DSTAGE=<folder with TavoWallpaper.exe, README.txt, LICENSE.txt>
;          /DOUTFILE=<setup.exe> packaging/tavo-wallpaper.nsi
; Silent: setup.exe /S [/D=folder]; the uninstaller: Uninstall.exe /S. A silent uninstall keeps the
; settings (the picture list and options); an interactive one asks.
; The 32-bit and the 64-bit setup install into the same folder under the same entry in the list of
; programs, so that either replaces the other.

!ifndef ARCH
    !define ARCH win32
!endif
!if "${ARCH}" == "win64"
    ; The setup itself is a 64-bit program, like the one it installs.
    Target amd64-unicode
!else
    Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include LogicLib.nsh
!include WinMessages.nsh
!include x64.nsh

!define PRODUCT "Tavo Wallpaper 2"
!define EXE "TavoWallpaper.exe"
!define MAIN_CLASS "TavoWallpaperMain"
!define SETTINGS_KEY "Software\Kelvara\Ferlin2"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "TavoWallpaper"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TavoWallpaper2"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${__FILEDIR__}\..\resources\main.ico"
UninstallIcon "${__FILEDIR__}\..\resources\main.ico"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT License"

Page directory
Page instfiles

!if "${ARCH}" == "win64"
; 32-bit Windows does not start a 64-bit setup at all; should a system start it whose programs are not
; 64-bit, it still says what to take instead.
Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP \
            "This setup installs the 64-bit ${PRODUCT}, which needs 64-bit Windows.$\r$\nPlease use the 32-bit setup, TavoWallpaper-${VERSION}-setup.exe, on this computer." \
            /SD IDOK
        Abort
    ${EndIf}
FunctionEnd
!endif
UninstPage uninstConfirm
UninstPage instfiles

; Asks every running copy to close (its main window may be hidden), so that its files can be replaced.
!macro CloseRunningCopies un
Function ${un}CloseRunningCopies
    StrCpy $1 0
    ${Do}
        FindWindow $0 "${MAIN_CLASS}"
        ${If} $0 == 0
        ${OrIf} $1 >= 40
            ${Break}
        ${EndIf}
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
        Sleep 100
        IntOp $1 $1 + 1
    ${Loop}
FunctionEnd
!macroend
!insertmacro CloseRunningCopies ""
!insertmacro CloseRunningCopies "un."

Section "Install"
    Call CloseRunningCopies
    SetOutPath "$INSTDIR"
    File "${STAGE}\${EXE}"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
    ; The settings key is left alone: installing over an older copy keeps the list and the options.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Call un.CloseRunningCopies
    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; The wallpaper file that a copy under file virtualization keeps in the user's own folder.
    Delete "$LOCALAPPDATA\${PRODUCT}\Tavo Wallpaper.bmp"
    RMDir "$LOCALAPPDATA\${PRODUCT}"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Also remove your ${PRODUCT} settings (the picture list, the options and the window's place)?" \
        /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Kelvara"
keep:
    ; The program's folder goes last: once it is gone, the uninstall is complete.
    Delete "$INSTDIR\${EXE}"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
