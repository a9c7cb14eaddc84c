// Shared by the window tests: the real windows, created once per test program, and helpers
// that read back what the platform holds.
#pragma once
#include <windows.h>

#include <future>
#include <string>

#include "tests/support/window_probe.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/pump_for.h"
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

// What a message box of this process with the given caption showed, read and answered with
// `buttonId` from another thread while the user-interface thread waits in it.
inline std::future<testing::SeenBox> WatchMessageBox(const std::string& caption,
                                                     int timeoutMs = 5000, int buttonId = IDOK) {
  return std::async(std::launch::async, [caption, timeoutMs, buttonId] {
    HWND box = testing::FindMessageBox(caption, GetCurrentProcessId(), timeoutMs);
    testing::SeenBox seen = testing::ReadMessageBox(box);
    if (box) testing::PressBoxButton(box, buttonId);
    return seen;
  });
}

}  // namespace vemo::test
