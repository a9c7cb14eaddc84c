// The install an uninstaller belongs to (the folder it lies in, per user or for all users) and
// the steps that take it off the machine.
#pragma once

#include <string>

namespace vemo::uninstall {

// Exit statuses of uninstall.exe. 0 to 2 mean what they mean for Setup.
enum Status {
  kRemoved = 0,
  kCancelled = 1,  // the user said no
  kStopped = 2,  // nothing removed: Vemo runs, no administrator rights, not an install, bad switch
  kFailed = 4,   // part of the install could not be removed; its entry stays for another try
};

struct Install {
  std::wstring folder;      // the uninstaller's own folder, without a trailing backslash
  bool allUsers = false;    // the all-users uninstall entry (HKLM) names the folder
  bool registered = false;  // an uninstall entry (per user or all users) names the folder
};

Install ThisInstall();
bool IsAdministrator();

// The path of the first program of the install that runs, or "": Windows keeps a running
// program's file open without write sharing, so it cannot be opened for writing.
std::wstring RunningProgram(const Install& install);

// Deletes the installed files, the Start menu shortcuts and the uninstall entry, in that order.
// Returns "" or what could not be removed and why; the entry goes only when the files are gone.
std::wstring Remove(const Install& install);

// Takes uninstall.exe itself out of the folder (a running program's file can be moved, but not
// deleted) and then removes the folder, unless something else is in it. The moved file is
// left to be deleted at the next restart.
void RemoveSelfAndFolder(const Install& install);

}  // namespace vemo::uninstall
