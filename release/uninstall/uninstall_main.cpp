// uninstall.exe: removes the install it lies in, and only ends when it is gone, so that whoever
// runs it (Settings > Apps, a script with the entry's quiet command, a package manager) learns
// from its exit status what happened.
//
//   uninstall.exe [/S]     /S: silently (no question, no message; the status tells)
//
// Its own file cannot be deleted while it runs, so it is moved out of the folder instead.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "release/uninstall/install.h"

namespace {

using namespace vemo::uninstall;

const wchar_t kCaption[] = L"Uninstall Vemo";

struct Options {
  bool silent = false;
  bool elevated = false;  // the second run, started elevated by the first one
  std::wstring unknown;
};

Options ReadOptions() {
  Options options;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; args && i < count; ++i) {
    const std::wstring arg = args[i];
    if (CompareStringOrdinal(arg.c_str(), -1, L"/S", -1, TRUE) == CSTR_EQUAL) {
      options.silent = true;
    } else if (arg == L"/Elevated") {
      options.elevated = true;
    } else if (options.unknown.empty()) {
      options.unknown = arg;
    }
  }
  LocalFree(args);
  return options;
}

int Box(const Options& options, const std::wstring& text, UINT type, int silentAnswer) {
  if (options.silent) return silentAnswer;
  return MessageBoxW(nullptr, text.c_str(), kCaption, type | MB_SETFOREGROUND);
}

// The all-users install is removed by an elevated copy of this run: its status is the answer.
int RunElevated(const Options& options) {
  const std::wstring needsAdministrator =
      L"Removing Vemo for all users needs administrator rights.";
  if (options.elevated) {
    Box(options, needsAdministrator, MB_OK | MB_ICONSTOP, IDOK);
    return kStopped;
  }
  std::vector<wchar_t> self(32768);
  GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  info.lpVerb = L"runas";
  info.lpFile = self.data();
  info.lpParameters = options.silent ? L"/S /Elevated" : L"/Elevated";
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info) || !info.hProcess) {
    Box(options, needsAdministrator, MB_OK | MB_ICONSTOP, IDOK);
    return kStopped;
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD status = kFailed;
  GetExitCodeProcess(info.hProcess, &status);
  CloseHandle(info.hProcess);
  return static_cast<int>(status);
}

int Uninstall(const Options& options) {
  if (!options.unknown.empty()) {
    Box(options,
        L"Unknown switch: " + options.unknown + L"\r\n\r\nuninstall.exe [/S]   (/S: silently)",
        MB_OK | MB_ICONSTOP, IDOK);
    return kStopped;
  }
  const Install install = ThisInstall();
  if (!install.registered) {
    Box(options, L"Vemo is not installed in " + install.folder + L", so nothing was removed.",
        MB_OK | MB_ICONSTOP, IDOK);
    return kStopped;
  }
  if (install.allUsers && !IsAdministrator()) return RunElevated(options);
  if (Box(options,
          L"Remove Vemo from this computer?\r\n\r\nFolder: " + install.folder +
              L"\r\n\r\nYour folders and options stay in the registry for a later install.",
          MB_YESNO | MB_ICONQUESTION, IDYES) != IDYES)
    return kCancelled;
  for (std::wstring running; !(running = RunningProgram(install)).empty();) {
    if (Box(options,
            L"Vemo is running (" + running +
                L"), so it cannot be removed.\r\n\r\nClose every Vemo window and vemo-cli, then "
                L"choose Retry. Cancel stops the uninstaller and leaves Vemo as it is.",
            MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL) != IDRETRY)
      return kStopped;
  }
  const std::wstring failed = Remove(install);
  if (!failed.empty()) {
    Box(options,
        L"Vemo could not be removed completely:\r\n\r\n" + failed +
            L"\r\n\r\nClose the program that uses it and run the uninstaller again.",
        MB_OK | MB_ICONSTOP, IDOK);
    return kFailed;
  }
  RemoveSelfAndFolder(install);
  Box(options, L"Vemo was removed from this computer.", MB_OK | MB_ICONINFORMATION, IDOK);
  return kRemoved;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Uninstall(ReadOptions()); }
