#include "release/uninstall/install.h"

#include <windows.h>

#include <vector>

#include "win32/known_folder.h"

namespace vemo::uninstall {

namespace {

const wchar_t kEntryKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemo";
// What Setup puts into the folder besides uninstall.exe (release/vemo.nsi installs the same).
const wchar_t* const kFiles[] = {L"vemo.exe", L"vemo-cli.exe", L"README.txt", L"LICENSE.txt"};
const wchar_t* const kPrograms[] = {L"vemo.exe", L"vemo-cli.exe"};

std::wstring OwnPath() {
  std::vector<wchar_t> path(32768);
  DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return std::wstring(path.data(), length);
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  auto trimmed = [](std::wstring s) {
    while (s.size() > 3 && s.back() == L'\\') s.pop_back();
    return s;
  };
  const std::wstring x = trimmed(a), y = trimmed(b);
  return CompareStringOrdinal(x.c_str(), -1, y.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool EntryNames(HKEY root, const std::wstring& folder) {
  wchar_t location[32768];
  DWORD size = sizeof location;
  return RegGetValueW(root, kEntryKey, L"InstallLocation", RRF_RT_REG_SZ, nullptr, location,
                      &size) == ERROR_SUCCESS &&
         SameFolder(location, folder);
}

std::wstring SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = text ? text : L"error " + std::to_wstring(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L'.' || message.back() == L' '))
    message.pop_back();
  return message;
}

// Runs `attempt` until it succeeds, fails for a reason other than a hold, or `waitMs` have
// passed, and gives the last error (ERROR_SUCCESS on success). A file just written is often held
// for a moment by a virus scanner, an indexer or the shell reading its icon; a deleted file keeps
// its folder from being removed until the last handle to it is closed. Such a hold is waited out
// for a while.
template <class Attempt>
DWORD OnceNotHeld(int waitMs, Attempt attempt) {
  constexpr int kPauseMs = 50;
  DWORD error = ERROR_SUCCESS;
  for (int waited = 0; waited <= waitMs; waited += kPauseMs) {
    if (attempt()) return ERROR_SUCCESS;
    error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
        error != ERROR_DIR_NOT_EMPTY)
      return error;
    Sleep(kPauseMs);
  }
  return error;
}

// "" when the file is gone (or was never there), else the file and the reason.
std::wstring DeleteIfThere(const std::wstring& path) {
  const DWORD error = OnceNotHeld(10000, [&] { return DeleteFileW(path.c_str()); });
  if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    return L"";
  return path + L": " + SystemMessage(error);
}

}  // namespace

Install ThisInstall() {
  Install install;
  install.folder = OwnPath();
  install.folder.resize(install.folder.find_last_of(L'\\'));
  install.allUsers = EntryNames(HKEY_LOCAL_MACHINE, install.folder);
  install.registered = install.allUsers || EntryNames(HKEY_CURRENT_USER, install.folder);
  return install;
}

bool IsAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  BOOL member = FALSE;
  if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                               0, 0, 0, 0, &administrators)) {
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
  }
  return member;
}

std::wstring RunningProgram(const Install& install) {
  for (const wchar_t* name : kPrograms) {
    const std::wstring path = install.folder + L"\\" + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
      return path;
    }
  }
  return L"";
}

std::wstring Remove(const Install& install) {
  for (const wchar_t* name : kFiles) {
    std::wstring failed = DeleteIfThere(install.folder + L"\\" + name);
    if (!failed.empty()) return failed;
  }
  // Earlier versions named the all-users shortcut like the per-user one.
  const std::wstring menu =
      win32::KnownFolderPath(install.allUsers ? FOLDERID_CommonPrograms : FOLDERID_Programs);
  std::vector<const wchar_t*> shortcuts = {L"Vemo.lnk"};
  if (install.allUsers) shortcuts.push_back(L"Vemo (all users).lnk");
  for (const wchar_t* name : shortcuts) {
    std::wstring failed = DeleteIfThere(menu + L"\\" + name);
    if (!failed.empty()) return failed;
  }
  const HKEY root = install.allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const LSTATUS status = RegDeleteTreeW(root, kEntryKey);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
    return std::wstring(install.allUsers ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\") +
           kEntryKey + L": " + SystemMessage(status);
  return L"";
}

void RemoveSelfAndFolder(const Install& install) {
  const std::wstring self = OwnPath();
  wchar_t temp[MAX_PATH + 1] = L"";
  GetTempPathW(MAX_PATH + 1, temp);
  SetCurrentDirectoryW(temp);  // a folder that is a process's current folder cannot be removed
  const std::wstring moved =
      std::wstring(temp) + L"vemo-uninstall-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  if (MoveFileExW(self.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    // Allowed to an administrator only; otherwise it stays among the temporary files.
    MoveFileExW(moved.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    // A file of the user's own keeps the folder for good: not worth a long wait.
    OnceNotHeld(3000, [&] { return RemoveDirectoryW(install.folder.c_str()); });
    return;
  }
  // Another volume than the temporary folder's: both go at the next restart.
  MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExW(install.folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace vemo::uninstall
