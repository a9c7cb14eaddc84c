// Shared by the window tests: the real windows, created once per test program, and helpers
// that read back what the platform holds.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "ui/toolkit/application.h"
#include "ui/toolkit/text.h"
#include "ui/windows/forms.h"

namespace vemo::test {

inline void EnsureForms() {
  if (Form1) return;
  ui::App().Initialize();
  ui::App().SetTitle("Vemo");
  CreateForms();
}

// A child window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW lf{};
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof(lf), &lf);
  return lf;
}

// What a message box with the given caption said, read and answered with OK from another
// thread while the user-interface thread waits in it.
struct MessageBoxWatch {
  std::string text;
  bool found = false;
};

inline std::future<MessageBoxWatch> WatchMessageBox(const std::string& caption,
                                                    int timeoutMs = 5000) {
  return std::async(std::launch::async, [caption, timeoutMs] {
    MessageBoxWatch watch;
    std::wstring wcaption = ToWide(caption);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      HWND box = FindWindowW(L"#32770", wcaption.c_str());
      if (box && IsWindowVisible(box)) {
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        watch.text = ToUtf8(std::wstring_view(text, lstrlenW(text)));
        watch.found = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return watch;
  });
}

}  // namespace vemo::test
