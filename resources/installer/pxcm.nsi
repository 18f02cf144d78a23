; pxcm.nsi — the Windows setup program pxcm-setup.exe: the x86 and x64 data
; sources where the Source Managers look for them, the default settings and
; the help page in the Windows directory (never over a user's own), pxcm.exe
; and an uninstaller that takes away what this setup put there and nothing
; else. Built by scripts/build-installer; runs silently with /S.
;
; makensis -DBUILD32=<win32 build folder> -DBUILD64=<win64 build folder>
;          -DSOURCE_DIR=<repository> -DOUTFILE=<setup program> pxcm.nsi

!ifndef BUILD32 | BUILD64 | SOURCE_DIR | OUTFILE
  !error "define BUILD32, BUILD64, SOURCE_DIR and OUTFILE"
!endif

Unicode true
; A 64-bit setup: it installs both sources on 64-bit Windows, and runs
; where 64-bit programs run (wine's 64-bit prefixes included).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "LogicLib.nsh"

!define PRODUCT "pxcm KMT-18/19 TWAIN data source"
!define VERSION "1.6"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\pxcm"
; What this setup put into shared folders, so that uninstalling takes away
; only that.
!define STATE_KEY "Software\pxcm\Setup"
!define SETTINGS "${SOURCE_DIR}/resources/settings"
!define HELP_PAGE "${SOURCE_DIR}/resources/help/KMT18V16.html"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\pxcm"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "1.6.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Creates a folder of the Windows directory and remembers that this setup
; made it, so that uninstalling removes it again (when empty).
!macro MakeSharedFolder FOLDER FLAG
  ${IfNot} ${FileExists} "${FOLDER}\*.*"
    CreateDirectory "${FOLDER}"
    WriteRegDWORD HKLM "${STATE_KEY}" "${FLAG}" 1
  ${EndIf}
!macroend

; Puts a default file into the Windows directory unless the user has one,
; and remembers whether it did.
!macro SeedFile SOURCE FOLDER NAME FLAG
  ${IfNot} ${FileExists} "${FOLDER}\${NAME}"
    SetOutPath "${FOLDER}"
    File "/oname=${NAME}" "${SOURCE}"
    WriteRegDWORD HKLM "${STATE_KEY}" "${FLAG}" 1
  ${EndIf}
!macroend

; One data source with the defaults beside it, where the source looks for
; them to seed a user's settings at first use.
!macro InstallSource BUILD TWAIN FLAG
  !insertmacro MakeSharedFolder "$WINDIR\${TWAIN}" "${FLAG}"
  SetOutPath "$WINDIR\${TWAIN}\pxcm"
  File "/oname=pxcmtwain.ds" "${BUILD}/pxcmtwain.ds"
  File "${SETTINGS}/pxcm.ini"
  File "${SETTINGS}/PXCM.src"
  !if /FileExists "${HELP_PAGE}"
    File "${HELP_PAGE}"
  !endif
!macroend

!macro RemoveSource TWAIN FLAG
  Delete "$WINDIR\${TWAIN}\pxcm\pxcmtwain.ds"
  Delete "$WINDIR\${TWAIN}\pxcm\pxcm.ini"
  Delete "$WINDIR\${TWAIN}\pxcm\PXCM.src"
  Delete "$WINDIR\${TWAIN}\pxcm\KMT18V16.html"
  RMDir "$WINDIR\${TWAIN}\pxcm"
  !insertmacro RemoveSharedFolder "$WINDIR\${TWAIN}" "${FLAG}"
!macroend

!macro RemoveSharedFolder FOLDER FLAG
  ReadRegDWORD $0 HKLM "${STATE_KEY}" "${FLAG}"
  ${If} $0 = 1
    RMDir "${FOLDER}"
  ${EndIf}
!macroend

; Pushes 1 when the two files named on the stack (pushed first, then
; second) hold the same bytes, else 0; a file that cannot be read differs.
Function un.SameFiles
  Exch $R1
  Exch
  Exch $R2
  Push $R0
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R0 0
  ClearErrors
  FileOpen $R3 "$R2" r
  IfErrors done
  FileOpen $R4 "$R1" r
  IfErrors closeFirst
  FileSeek $R3 0 END $R5
  FileSeek $R4 0 END $R6
  IntCmp $R5 $R6 0 closeBoth closeBoth
  FileSeek $R3 0 SET
  FileSeek $R4 0 SET
  nextByte:
    ClearErrors
    FileReadByte $R3 $R5
    ; The sizes are equal: the end of one is the end of the other.
    IfErrors same
    FileReadByte $R4 $R6
    IntCmp $R5 $R6 nextByte closeBoth closeBoth
  same:
  StrCpy $R0 1
  closeBoth:
  FileClose $R4
  closeFirst:
  FileClose $R3
  done:
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Exch $R0
  Exch
  Pop $R2
  Exch
  Pop $R1
FunctionEnd

; Deletes a file that this setup seeded, unless the user has changed it
; since: it is compared with the copy of what setup wrote that the
; uninstaller carries.
!macro RemoveSeeded PATH FLAG DEFAULT
  ReadRegDWORD $0 HKLM "${STATE_KEY}" "${FLAG}"
  ${If} $0 = 1
    InitPluginsDir
    SetOutPath "$PLUGINSDIR"
    File "/oname=seeded.default" "${DEFAULT}"
    Push "${PATH}"
    Push "$PLUGINSDIR\seeded.default"
    Call un.SameFiles
    Pop $0
    Delete "$PLUGINSDIR\seeded.default"
    ${If} $0 = 1
      Delete "${PATH}"
    ${ElseIf} ${FileExists} "${PATH}"
      DetailPrint "Kept ${PATH}: changed since setup"
    ${EndIf}
  ${EndIf}
!macroend

Section "pxcm"
  SetRegView 64
  !insertmacro InstallSource "${BUILD32}" "twain_32" "MadeTwain32"
  !insertmacro InstallSource "${BUILD64}" "twain_64" "MadeTwain64"

  !insertmacro SeedFile "${SETTINGS}/pxcm.ini" "$WINDIR" "pxcm.ini" "SeededIni"
  !insertmacro SeedFile "${SETTINGS}/PXCM.src" "$WINDIR" "PXCM.src" "SeededSrc"
  !if /FileExists "${HELP_PAGE}"
    !insertmacro MakeSharedFolder "$WINDIR\Help" "MadeHelp"
    !insertmacro SeedFile "${HELP_PAGE}" "$WINDIR\Help" "KMT18V16.html" "SeededHelp"
  !endif

  SetOutPath "$INSTDIR"
  File "${BUILD64}/pxcm.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  !insertmacro RemoveSource "twain_32" "MadeTwain32"
  !insertmacro RemoveSource "twain_64" "MadeTwain64"

  ; The settings files and help page only where this setup put them and
  ; the user has not changed them: a user's own, there before or edited
  ; since, stay.
  !insertmacro RemoveSeeded "$WINDIR\pxcm.ini" "SeededIni" "${SETTINGS}/pxcm.ini"
  !insertmacro RemoveSeeded "$WINDIR\PXCM.src" "SeededSrc" "${SETTINGS}/PXCM.src"
  !if /FileExists "${HELP_PAGE}"
    !insertmacro RemoveSeeded "$WINDIR\Help\KMT18V16.html" "SeededHelp" "${HELP_PAGE}"
  !endif
  !insertmacro RemoveSharedFolder "$WINDIR\Help" "MadeHelp"

  Delete "$INSTDIR\pxcm.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${STATE_KEY}"
  DeleteRegKey /ifempty HKLM "Software\pxcm"
SectionEnd
