// Finds a real message box on the screen, reads it and presses its buttons, as a user would.
#pragma once

#include <windows.h>

#include <string>

#include "win32/text.h"

namespace vemo::testing {

struct FoundBox {
  HWND hwnd = nullptr;
  std::string text;
  HICON icon = nullptr;
  explicit operator bool() const { return hwnd != nullptr; }
};

// The first visible dialog with this caption in process pid (0: any), waiting up to timeoutMs.
inline FoundBox FindMessageBox(const std::string& caption, DWORD pid = 0, int timeoutMs = 10000) {
  const std::wstring wanted = ToWide(caption);
  struct Search {
    const std::wstring* caption;
    DWORD pid;
    HWND found;
  } search{&wanted, pid, nullptr};
  for (int waited = 0; waited <= timeoutMs; waited += 20) {
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          wchar_t cls[32], text[256];
          DWORD owner = 0;
          GetWindowThreadProcessId(h, &owner);
          if (s->pid && owner != s->pid) return TRUE;
          if (!IsWindowVisible(h) || !GetClassNameW(h, cls, 32) || lstrcmpW(cls, L"#32770"))
            return TRUE;
          GetWindowTextW(h, text, 256);
          if (*s->caption != text) return TRUE;
          s->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) break;
    Sleep(20);
  }
  FoundBox box;
  if (!search.found) return box;
  box.hwnd = search.found;
  wchar_t text[2048] = L"";
  GetDlgItemTextW(box.hwnd, 0xFFFF, text, 2048);  // the message text's static control
  box.text = ToUtf8(text);
  box.icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box.hwnd, 1088, STM_GETICON, 0, 0));
  return box;
}

inline void PressBoxButton(const FoundBox& box, int id) {
  SendMessageW(GetDlgItem(box.hwnd, id), BM_CLICK, 0, 0);
}

inline HICON SystemIcon(LPCWSTR which) { return LoadIconW(nullptr, which); }

}  // namespace vemo::testing
