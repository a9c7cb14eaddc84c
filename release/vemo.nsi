; Vemo's installer. Built by release/package.py:
;   makensis -DVERSION=1.3.11 -DSTAGE=<folder with vemo.exe, vemo-cli.exe, README.txt, LICENSE.txt>
;            -DUNINSTALLER=<uninstall.exe> -DICON=<app_icon.ico> -DCOMPANY=... -DCOPYRIGHT=...
;            -DOUTFILE=<setup.exe> vemo.nsi
;
; Per user by default, under %LOCALAPPDATA%\Programs\Vemo, with no administrator prompt. For all
; users (Program Files, HKLM, "Vemo (all users)") when the user picks it on the first page
; (offered only when Setup runs elevated) or with /AllUsers, which asks for elevation itself;
; /CurrentUser forces per user. /S is silent; /D=FOLDER (last on the line) picks the folder. An
; existing install is upgraded in place; an older version over a newer one asks first.
; Exit status: 0 done, 1 cancelled, 2 stopped (Vemo running, elevation refused, ...), 3 not
; installed because a newer version is (silently: always).
; The uninstaller is a program of its own (release/uninstall), so that it ends only when the
; install is gone and its exit status says what happened.

!ifndef VERSION | STAGE | UNINSTALLER | ICON | COMPANY | COPYRIGHT | OUTFILE
  !error "VERSION, STAGE, UNINSTALLER, ICON, COMPANY, COPYRIGHT and OUTFILE must be defined"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!define PRODUCT "Vemo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vemo"
!define UNINSTALLER_NAME "uninstall.exe"
; The Start menu shortcut and the uninstall entry of the all-users install say so, so that it
; and a per-user install side by side can be told apart.
!define ALL_USERS_NAME "${PRODUCT} (all users)"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
; The files keep the modification time they have in the staging folder (the commit's time).
SetDateSave on

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "InternalName" "setup"
VIAddVersionKey /LANG=1033 "OriginalFilename" "vemo-${VERSION}-setup.exe"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"
!include "nsDialogs.nsh"

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING

Var AllUsers     ; 1: for everyone (Program Files, HKLM, common Start menu)
Var ModeChosen   ; 1: a switch or an existing install decided the mode; no page asks
Var IsAdmin      ; 1: Setup runs elevated
Var DefaultDir   ; the default folder of the current mode
Var ModeOnlyMe
Var ModeEveryone
Var FirstPage    ; 1 until the first page has been shown
Var Installed    ; the version of the install this one replaces, or ""
Var Heading      ; the folder page's heading, subheading and text: a new install or an upgrade
Var Subheading
Var FolderText
Var DisplayName  ; of the uninstall entry and the shortcut

Page custom ModePage ModePageLeave
!define MUI_PAGE_HEADER_TEXT "$Heading"
!define MUI_PAGE_HEADER_SUBTEXT "$Subheading"
!define MUI_DIRECTORYPAGE_TEXT_TOP "$FolderText"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FirstPageHasNoBack
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Vemo"
!define MUI_FINISHPAGE_RUN_FUNCTION StartVemo
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

Function UseMode
  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $DefaultDir "$PROGRAMFILES64\${PRODUCT}"
    StrCpy $DisplayName "${ALL_USERS_NAME}"
  ${Else}
    SetShellVarContext current
    StrCpy $DefaultDir "$LOCALAPPDATA\Programs\${PRODUCT}"
    StrCpy $DisplayName "${PRODUCT}"
  ${EndIf}
FunctionEnd

Function CheckAdmin
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
Function RunElevated
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
Function CheckBusy
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
; nor replaced.
Function CheckNotRunning
  ${Do}
    StrCpy $1 ""
    StrCpy $0 "vemo.exe"
    Call CheckBusy
    StrCpy $0 "vemo-cli.exe"
    Call CheckBusy
    ${If} $1 == ""
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running ($INSTDIR\$1), so it cannot be replaced.$\r$\n$\r$\nClose every ${PRODUCT} window and vemo-cli, then choose Retry. Cancel stops Setup and leaves ${PRODUCT} as it is." \
      /SD IDCANCEL IDRETRY +3  ; Retry: on to ${Loop}, past the two lines that stop
    SetErrorLevel 2
    Quit
  ${Loop}
FunctionEnd

; The version of the install in this mode ($Installed), the folder page's texts for it, and the
; question before a newer version is replaced by this older one (silently: no, status 3).
Function CheckInstalled
  StrCpy $Installed ""
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    ReadRegStr $Installed SHCTX "${UNINSTALL_KEY}" "DisplayVersion"
  ${EndIf}
  StrCpy $Heading "Choose Install Location"
  StrCpy $Subheading "Choose the folder in which to install ${PRODUCT} ${VERSION}."
  StrCpy $FolderText "Setup will install ${PRODUCT} ${VERSION} in the following folder. To install in a different folder, click Browse and select another folder. Click Install to start the installation."
  ${If} $Installed == ""
    Return
  ${EndIf}
  ${VersionCompare} $Installed "${VERSION}" $1
  ${If} $1 == 1
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "${PRODUCT} $Installed is installed, a newer version than this Setup's ${VERSION}.$\r$\n$\r$\nReplace it with the older version ${VERSION}?" \
      /SD IDNO IDYES +3  ; Yes: past the two lines that stop
    SetErrorLevel 3
    Quit
    StrCpy $Heading "Replace ${PRODUCT} $Installed"
    StrCpy $Subheading "Replace ${PRODUCT} $Installed with the older version ${VERSION}."
  ${ElseIf} $1 == 0
    StrCpy $Heading "Install ${PRODUCT} ${VERSION} Again"
    StrCpy $Subheading "${PRODUCT} ${VERSION} is installed; Setup installs it again."
  ${Else}
    StrCpy $Heading "Upgrade ${PRODUCT}"
    StrCpy $Subheading "Upgrade ${PRODUCT} $Installed to ${VERSION}."
  ${EndIf}
  StrCpy $FolderText "Setup will put ${PRODUCT} ${VERSION} in place of ${PRODUCT} $Installed in the following folder; your settings stay. To move it to a different folder, click Browse and select another folder. Click Install to start."
FunctionEnd

; While all went well ($0 is S_OK), calls method CALL (its vtable index and arguments) of the COM
; interface in $R1, which puts the next interface into $R2, and goes on with that one.
!macro COM_STEP CALL
  ${If} $0 == 0
    StrCpy $R2 0
    System::Call '$R1->${CALL} i .r0'
    System::Call '$R1->2()'
    StrCpy $R1 $R2
  ${EndIf}
!macroend

; Starts Vemo as the user of the desktop, whatever rights Setup has: an elevated Setup asks the
; desktop's shell to start it (the shell's documented automation route: the desktop window of
; IShellWindows, its IShellBrowser and IShellView, IShellFolderViewDual's Application,
; IShellDispatch2::ShellExecute), so that Vemo keeps its settings in the user's registry and
; accepts folders dropped from Explorer.
Function StartVemo
  ${If} $IsAdmin == 0
    Exec '"$INSTDIR\vemo.exe"'
    Return
  ${EndIf}
  System::Call '*(i 3, i 0, l 0, l 0) p .r1'  ; VARIANT VT_I4 0: the desktop (CSIDL_DESKTOP)
  System::Call '*(l 0, l 0, l 0) p .r2'       ; VARIANT VT_EMPTY
  System::Call 'oleaut32::SysAllocString(w "$INSTDIR\vemo.exe") p .r3'
  StrCpy $R1 0
  System::Call 'ole32::CoCreateInstance(g "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}", p 0, i 4, \
                  g "{85CB6900-4D95-11CF-960C-0080C7F4EE85}", *p .R1) i .r0'
  ; IShellWindows::FindWindowSW(desktop, empty, SWC_DESKTOP, hwnd, SWFO_NEEDDISPATCH, dispatch)
  !insertmacro COM_STEP '15(p r1, p r2, i 8, *i .r4, i 1, *p .R2)'
  !insertmacro COM_STEP '0(g "{6D5140C1-7436-11CE-8034-00AA006009FA}", *p .R2)'  ; IServiceProvider
  ; QueryService(SID_STopLevelBrowser, IID_IShellBrowser)
  !insertmacro COM_STEP '3(g "{4C96BE40-915C-11CF-99D3-00AA004AE837}", g "{000214E2-0000-0000-C000-000000000046}", *p .R2)'
  !insertmacro COM_STEP '15(*p .R2)'  ; IShellBrowser::QueryActiveShellView
  ; IShellView::GetItemObject(SVGIO_BACKGROUND, IID_IDispatch)
  !insertmacro COM_STEP '15(i 0, g "{00020400-0000-0000-C000-000000000046}", *p .R2)'
  !insertmacro COM_STEP '0(g "{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}", *p .R2)'  ; IShellFolderViewDual
  !insertmacro COM_STEP '7(*p .R2)'  ; get_Application
  !insertmacro COM_STEP '0(g "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}", *p .R2)'  ; IShellDispatch2
  ${If} $0 == 0  ; ShellExecute(file, arguments, folder, verb, show: all left empty)
    System::Call '$R1->31(p r3, p r2, p r2, p r2, p r2) i .r0'
    System::Call '$R1->2()'
  ${EndIf}
  System::Call 'oleaut32::SysFreeString(p r3)'
  System::Free $1
  System::Free $2
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONINFORMATION "Start ${PRODUCT} from the Start menu: Setup runs as administrator and leaves starting it to you."
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $FirstPage 1
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
  Call CheckInstalled
  ; /D= sets $INSTDIR before this runs; otherwise the existing install's folder or the default.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $DefaultDir
  ${EndIf}
  Call CheckNotRunning
FunctionEnd

; The first page shown offers no "< Back": there is nothing to go back to, and going back past
; it would end Setup.
Function FirstPageHasNoBack
  ${If} $FirstPage == 1
    Call DisableBack
  ${EndIf}
FunctionEnd

Function DisableBack
  StrCpy $FirstPage 0
  GetDlgItem $0 $HWNDPARENT 3
  EnableWindow $0 0
FunctionEnd

; Shown only to an elevated Setup with no install and no switch to decide the mode; no existing
; install to compare with, so CheckInstalled's texts stay.
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
  Call DisableBack
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

; The files an install consists of, besides the folder itself.
!macro DELETE_INSTALLED_FILES DIR
  Delete "${DIR}\vemo.exe"
  Delete "${DIR}\vemo-cli.exe"
  Delete "${DIR}\README.txt"
  Delete "${DIR}\LICENSE.txt"
  Delete "${DIR}\${UNINSTALLER_NAME}"
!macroend

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
  File "${STAGE}/LICENSE.txt"
  File "/oname=${UNINSTALLER_NAME}" "${UNINSTALLER}"
  ; Versions before the shortcut named the all-users install called it like the per-user one.
  ${If} $AllUsers == 1
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\$DisplayName.lnk" "$INSTDIR\vemo.exe" "" "$INSTDIR\vemo.exe" 0 \
    SW_SHOWNORMAL "" "Compare two folders file by file"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "$DisplayName"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vemo.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_NAME}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_NAME}" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd
