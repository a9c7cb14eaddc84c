; Vemo's installer. Built by release/package.py:
;   makensis -DVERSION=1.3.11 -DSTAGE=<folder with vemo.exe, vemo-cli.exe, README.txt>
;            -DICON=<app_icon.ico> -DOUTFILE=<setup.exe> vemo.nsi
;
; Per user by default, under %LOCALAPPDATA%\Programs\Vemo, with no administrator prompt. For all
; users (Program Files, HKLM) when the user picks it on the first page (offered only when Setup
; runs elevated) or with /AllUsers, which asks for elevation itself; /CurrentUser forces per user.
; /S is silent; /D=FOLDER (last on the line) picks the folder. An existing install is upgraded in
; place. Exit status: 0 done, 1 cancelled, 2 stopped (Vemo running, elevation refused, ...).

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!define PRODUCT "Vemo"
!define PUBLISHER "Pelk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vemo"
!define UNINSTALLER "uninstall.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
; The files keep the modification time they have in the staging folder (the commit's time).
SetDateSave on

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "nsDialogs.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Var AllUsers     ; 1: for everyone (Program Files, HKLM, common Start menu)
Var ModeChosen   ; 1: a switch or an existing install decided the mode; no page asks
Var IsAdmin      ; 1: Setup runs elevated
Var DefaultDir   ; the default folder of the current mode
Var ModeOnlyMe
Var ModeEveryone

Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vemo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Vemo"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---- Shared by the installer and the uninstaller ----

!macro SETUP_SHARED PREFIX
  Function ${PREFIX}UseMode
    ${If} $AllUsers == 1
      SetShellVarContext all
      StrCpy $DefaultDir "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      SetShellVarContext current
      StrCpy $DefaultDir "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
  FunctionEnd

  Function ${PREFIX}CheckAdmin
    StrCpy $IsAdmin 0
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
      StrCpy $IsAdmin 1
    ${EndIf}
  FunctionEnd

  ; Runs this program again elevated with the parameters in $0, waits for it and leaves with its
  ; exit status: the all-users way for a user who started Setup without elevation. /Elevated
  ; marks the second run, which stops instead of asking again when it is still not elevated.
  Function ${PREFIX}RunElevated
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/Elevated" $2
    ${IfNot} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} for all users needs administrator rights." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    ; SHELLEXECUTEINFOW on x64: 112 bytes, fMask SEE_MASK_NOCLOSEPROCESS, hProcess at offset 104.
    System::Call '*(i 112, i 0x40, p $HWNDPARENT, w "runas", w "$EXEPATH", w r0, p 0, i 1, i 0, \
                     p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0) p .r1'
    System::Call 'shell32::ShellExecuteExW(p r1) i .r2'
    ${If} $2 == 0
      System::Free $1
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} for all users needs administrator rights." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    System::Call '*$1(i, i, p, p, p, p, p, i, i, p, p, p, p, i, i, p, p .r3)'
    System::Free $1
    System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r3, *i .r4)'
    System::Call 'kernel32::CloseHandle(p r3)'
    SetErrorLevel $4
    Quit
  FunctionEnd

  ; $1 := $0 when $INSTDIR\$0 exists and cannot be opened for writing.
  Function ${PREFIX}CheckBusy
    ${If} ${FileExists} "$INSTDIR\$0"
      ClearErrors
      FileOpen $2 "$INSTDIR\$0" a
      ${If} ${Errors}
        StrCpy $1 $0
      ${Else}
        FileClose $2
      ${EndIf}
    ${EndIf}
  FunctionEnd

  ; Stops, with a message, while vemo.exe or vemo-cli.exe in $INSTDIR runs: Windows keeps a
  ; running program's file open without write sharing, so it can be neither opened for writing
  ; nor replaced nor deleted.
  Function ${PREFIX}CheckNotRunning
    ${Do}
      StrCpy $1 ""
      StrCpy $0 "vemo.exe"
      Call ${PREFIX}CheckBusy
      StrCpy $0 "vemo-cli.exe"
      Call ${PREFIX}CheckBusy
      ${If} $1 == ""
        Return
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is running ($INSTDIR\$1), so it cannot be replaced or removed.$\r$\n$\r$\nClose every ${PRODUCT} window and vemo-cli, then choose Retry. Cancel stops Setup and leaves ${PRODUCT} as it is." \
        /SD IDCANCEL IDRETRY +3  ; Retry: on to ${Loop}, past the two lines that stop
      SetErrorLevel 2
      Quit
    ${Loop}
  FunctionEnd
!macroend
!insertmacro SETUP_SHARED ""
!insertmacro SETUP_SHARED "un."

; The files an install consists of, besides the folder itself.
!macro DELETE_INSTALLED_FILES DIR
  Delete "${DIR}\vemo.exe"
  Delete "${DIR}\vemo-cli.exe"
  Delete "${DIR}\README.txt"
  Delete "${DIR}\${UNINSTALLER}"
!macroend

; ---- Installer ----

Function .onInit
  Call CheckAdmin
  ${GetParameters} $R0
  StrCpy $AllUsers 0
  StrCpy $ModeChosen 0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $0
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    StrCpy $ModeChosen 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CurrentUser" $0
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
    StrCpy $ModeChosen 1
  ${EndIf}
  ; Without a switch an existing install keeps its mode: the upgrade goes where it is.
  ${If} $ModeChosen == 0
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $ModeChosen 1
    ${ElseIf} $1 != ""
      StrCpy $AllUsers 1
      StrCpy $ModeChosen 1
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers == 1
  ${AndIf} $IsAdmin == 0
    ; /D= must come last, and Setup has taken it off its parameters.
    StrCpy $0 "$R0 /AllUsers /Elevated"
    ${If} $INSTDIR != ""
      StrCpy $0 "$0 /D=$INSTDIR"
    ${EndIf}
    Call RunElevated
  ${EndIf}
  Call UseMode
  ; /D= sets $INSTDIR before this runs; otherwise the existing install's folder or the default.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $DefaultDir
  ${EndIf}
  Call CheckNotRunning
FunctionEnd

Function ModePage
  ${If} $IsAdmin == 0
  ${OrIf} $ModeChosen == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Choose Users" "Install ${PRODUCT} for yourself only or for everyone on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 12u "Only for me"
  Pop $ModeOnlyMe
  ${NSD_CreateRadioButton} 0 16u 100% 12u "For everyone on this computer (in Program Files)"
  Pop $ModeEveryone
  ${If} $AllUsers == 1
    ${NSD_Check} $ModeEveryone
  ${Else}
    ${NSD_Check} $ModeOnlyMe
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  StrCpy $0 $DefaultDir
  ${NSD_GetState} $ModeEveryone $AllUsers
  ${If} $AllUsers != 1
    StrCpy $AllUsers 0
  ${EndIf}
  Call UseMode
  ; A folder still at the other mode's default follows the choice.
  ${If} $INSTDIR == $0
    StrCpy $INSTDIR $DefaultDir
  ${EndIf}
FunctionEnd

Section "Vemo"
  Call CheckNotRunning
  ; An install moved to another folder leaves nothing behind in the old one.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    !insertmacro DELETE_INSTALLED_FILES $0
    RMDir $0
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}/vemo.exe"
  File "${STAGE}/vemo-cli.exe"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\vemo.exe" "" "$INSTDIR\vemo.exe" 0 \
    SW_SHOWNORMAL "" "Compare two folders file by file"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vemo.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; ---- Uninstaller ----

Function un.onInit
  Call un.CheckAdmin
  ; The all-users entry names this folder: an all-users install.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    ${If} $IsAdmin == 0
      ${GetParameters} $0
      StrCpy $0 "$0 /Elevated _?=$INSTDIR"
      Call un.RunElevated
    ${EndIf}
  ${EndIf}
  Call un.UseMode
  Call un.CheckNotRunning
FunctionEnd

; The settings under HKCU\Software\Pelk\Vemo stay, as they do when a program is removed.
Section "Uninstall"
  Call un.CheckNotRunning
  !insertmacro DELETE_INSTALLED_FILES $INSTDIR
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; Only the entry of this install: another mode's entry for another folder stays.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
