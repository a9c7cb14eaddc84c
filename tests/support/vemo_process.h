// Drives the real vemo.exe from another process as a user would: starts it, finds its windows
// by caption (tests/support/window_probe.h reads them), types into edit boxes, presses keys,
// waits for it to end.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/window_probe.h"
#include "win32/text.h"

namespace vemo::testing {

// The edit boxes of a window, left to right.
inline std::vector<HWND> EditBoxes(HWND parent) {
  std::vector<HWND> edits;
  for (HWND h : Descendants(parent))
    if (ClassName(h) == "Edit") edits.push_back(h);
  std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  return edits;
}

// Replaces the edit box's text by typing: select all, then one WM_CHAR per character.
inline void TypeInto(HWND edit, const std::string& text) {
  PostMessageW(edit, EM_SETSEL, 0, -1);
  PostMessageW(edit, WM_CHAR, VK_BACK, 0);
  for (wchar_t c : ToWide(text)) PostMessageW(edit, WM_CHAR, c, 0);
}

inline void PressEnter(HWND control) {
  PostMessageW(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageW(control, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

// A Windows path for a file of the Linux side, through Wine's Z: drive.
inline std::string WinePath(std::string unixPath) {
  std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
  return "Z:" + unixPath;
}

class VemoProcess {
 public:
  explicit VemoProcess(const std::string& exe, const std::string& arguments = "") {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring command = L"\"" + ToWide(exe) + L"\"";
    if (!arguments.empty()) command += L" " + ToWide(arguments);
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &info_) != 0;
  }
  // A process that is already running (started by another program), to drive it alike.
  explicit VemoProcess(DWORD pid) {
    info_.hProcess = OpenProcess(
        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    info_.dwProcessId = pid;
    started_ = info_.hProcess != nullptr;
  }
  ~VemoProcess() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 9);
    if (info_.hThread) CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool Started() const { return started_; }
  DWORD Pid() const { return info_.dwProcessId; }

  // A visible window of the process with this caption and (unless empty) this class.
  HWND WaitWindow(const std::string& caption, const std::string& cls, int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
      for (HWND h : TopWindows(Pid()))
        if (CaptionOf(h) == caption && (cls.empty() || ClassName(h) == cls)) return h;
      Sleep(20);
    }
    return nullptr;
  }

  // The main window, answering the first-run or version message on the way.
  HWND WaitMainWindow(int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
      for (HWND h : TopWindows(Pid())) {
        if (CaptionOf(h) != "Vemo") continue;
        if (ClassName(h) == "#32770") {
          PressBoxButton(h, IDOK);
        } else if (IsWindowEnabled(h) && !EditBoxes(h).empty()) {
          return h;
        }
      }
      Sleep(20);
    }
    return nullptr;
  }

  // Waits for the process to end; returns its exit status, or -1 when it is still running.
  long WaitExit(int timeoutMs) const {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

}  // namespace vemo::testing
