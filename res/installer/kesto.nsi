; KESTO Video Converter's per-user installer: no administrator rights, the program in
; %LOCALAPPDATA%\Programs\KESTO (a folder the user may write to, so KESTO.ini and kesto.log stay
; beside the program), a Start menu shortcut, "Open with" for the video types of the program's
; open dialog, "Send to", and an entry in Apps & features whose uninstaller removes all of it.
; Built by scripts/build-installer.sh from the release archive's content; it defines VERSION (e.g.
; 1.01), LISTS (a folder with install.nsh and uninstall.nsh, which list the archive's files),
; SIZE_KB (their size), ICON (the program's icon) and OUTFILE (the setup program to write).
; Silent: setup.exe /S installs; uninstall.exe /S uninstalls and keeps the user's settings and log.
; Neither changes anything while KESTO runs: they ask for it to be closed first, or, silent, end
; with exit code 2.

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APP "KESTO Video Converter"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KESTO"
!define APPLICATION_KEY "Software\Classes\Applications\KESTO.exe"
!define PROGID "KESTO.Video"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\KESTO"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "${APP}"
VIAddVersionKey CompanyName "Tarvelle"
VIAddVersionKey FileDescription "${APP} ${VERSION} Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "MIT licence; FFmpeg: GPL, see PLUG-IN\FFMPEG-NOTICE.txt"

!include MUI2.nsh
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\KESTO.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; The input types of the program's open dialog.
!macro ForEachVideoType MACRO
    !insertmacro ${MACRO} avi
    !insertmacro ${MACRO} asf
    !insertmacro ${MACRO} mpg
    !insertmacro ${MACRO} mpeg
    !insertmacro ${MACRO} mov
    !insertmacro ${MACRO} qt
    !insertmacro ${MACRO} mkv
    !insertmacro ${MACRO} m2ts
    !insertmacro ${MACRO} mts
    !insertmacro ${MACRO} ts
    !insertmacro ${MACRO} m2t
    !insertmacro ${MACRO} tod
    !insertmacro ${MACRO} mp4
    !insertmacro ${MACRO} flv
    !insertmacro ${MACRO} f4v
    !insertmacro ${MACRO} m4v
    !insertmacro ${MACRO} webm
    !insertmacro ${MACRO} wmv
    !insertmacro ${MACRO} 3gp
    !insertmacro ${MACRO} 3g2
    !insertmacro ${MACRO} ogv
    !insertmacro ${MACRO} ogg
    !insertmacro ${MACRO} vob
    !insertmacro ${MACRO} mxf
    !insertmacro ${MACRO} dv
    !insertmacro ${MACRO} divx
    !insertmacro ${MACRO} mod
    !insertmacro ${MACRO} m2v
    !insertmacro ${MACRO} mpe
    !insertmacro ${MACRO} m1v
    !insertmacro ${MACRO} rm
    !insertmacro ${MACRO} rmvb
    !insertmacro ${MACRO} mk3d
    !insertmacro ${MACRO} wtv
    !insertmacro ${MACRO} dvr-ms
    !insertmacro ${MACRO} evo
    !insertmacro ${MACRO} trp
    !insertmacro ${MACRO} nut
    !insertmacro ${MACRO} y4m
    !insertmacro ${MACRO} amv
    !insertmacro ${MACRO} mjpeg
!macroend

; In the type's "Open with" list, never its default program: the type's own default value is
; left as it is.
!macro OfferFor EXT
    WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".${EXT}" ""
    WriteRegStr HKCU "Software\Classes\.${EXT}\OpenWithList\KESTO.exe" "" ""
    WriteRegNone HKCU "Software\Classes\.${EXT}\OpenWithProgids" "${PROGID}"
!macroend

; Our entries go; a key goes too once nothing of anyone else is left in it.
!macro WithdrawFrom EXT
    DeleteRegKey HKCU "Software\Classes\.${EXT}\OpenWithList\KESTO.exe"
    DeleteRegValue HKCU "Software\Classes\.${EXT}\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Classes\.${EXT}\OpenWithList"
    DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Classes\.${EXT}\OpenWithProgids"
    DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Classes\.${EXT}"
!macroend

; The verb that opens videos. Player: offered for a selection of many videos (up to 100), not
; only for one; "Send to" hands any number of them to one KESTO.
!macro OpenVerb KEY
    WriteRegStr HKCU "${KEY}\DefaultIcon" "" "$INSTDIR\KESTO.exe,0"
    WriteRegStr HKCU "${KEY}\shell\open" "MultiSelectModel" "Player"
    WriteRegStr HKCU "${KEY}\shell\open\command" "" '"$INSTDIR\KESTO.exe" "%1"'
!macroend

; KESTO holds a mutex of this name while it runs (in the user's session). Its files cannot be
; replaced or removed then, and it goes on using its settings and log: the installer and the
; uninstaller go on only once it is closed. The user closes it and presses Retry, or cancels and
; nothing has changed; a silent run has no one to ask and ends with exit code 2.
!macro WhenKestoIsClosed UN
Function ${UN}WhenKestoIsClosed
check:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${APP} running") p .r0'
    IntPtrCmp $0 0 closed
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APP} is running. Close it, then press Retry." \
        /SD IDCANCEL IDRETRY check
    SetErrorLevel 2
    Abort "${APP} is running: nothing was changed."
closed:
FunctionEnd
!macroend
!insertmacro WhenKestoIsClosed ""
!insertmacro WhenKestoIsClosed "un."

Section
    Call WhenKestoIsClosed ; before anything is touched
    ; An earlier installation's files and entries go first (its uninstaller run in place,
    ; silently: the user's settings and log stay).
    IfFileExists "$INSTDIR\uninstall.exe" 0 +2
        ExecWait '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    ; Whatever the release archive holds except the user's own files, which are never written.
    !include /CHARSET=UTF8 "${LISTS}/install.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\KESTO.exe" "" "$INSTDIR\KESTO.exe" 0
    CreateShortcut "$SENDTO\${APP}.lnk" "$INSTDIR\KESTO.exe" "" "$INSTDIR\KESTO.exe" 0

    WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "${APP}"
    !insertmacro OpenVerb "${APPLICATION_KEY}"
    WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Video (${APP})"
    WriteRegStr HKCU "Software\Classes\${PROGID}" "FriendlyTypeName" "Video"
    !insertmacro OpenVerb "Software\Classes\${PROGID}"
    !insertmacro ForEachVideoType OfferFor

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarvelle"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\KESTO.exe,0"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; the associations changed
SectionEnd

Section Uninstall
    Call un.WhenKestoIsClosed ; before anything is touched
    ; The user's settings and log go only if the user says so; a silent uninstall keeps them.
    StrCpy $0 "$INSTDIR\KESTO.ini"
    IfFileExists "$0*" ask
    IfFileExists "$INSTDIR\kesto.log" ask keep
ask:
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Also remove your KESTO settings (KESTO.ini) and the log of conversions (kesto.log)?" \
        /SD IDNO IDNO keep
    Delete "$0"
    Delete "$0.bak"
    Delete "$0.tmp"
    Delete "$INSTDIR\kesto.log"
keep:
    !include /CHARSET=UTF8 "${LISTS}/uninstall.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$SENDTO\${APP}.lnk"
    !insertmacro ForEachVideoType WithdrawFrom
    DeleteRegKey HKCU "${APPLICATION_KEY}"
    DeleteRegKey HKCU "Software\Classes\${PROGID}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    ; Last, so that whoever waits for an uninstall can wait for this key to go.
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
