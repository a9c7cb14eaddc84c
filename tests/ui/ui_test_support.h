// Shared by the window tests: the real windows, created once per test program, and helpers
// that read back what the platform holds.
#pragma once
#include <windows.h>

#include <functional>
#include <future>
#include <string>
#include <vector>

#include "tests/support/window_probe.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/pump_for.h"
#include "ui/toolkit/window_text.h"
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

// The pixels, row by row, of a width x height picture that `draw` paints into memory, on a
// background of the face colour (or the brush given).
inline std::vector<COLORREF> DrawnPixels(int width, int height,
                                         const std::function<void(HDC)>& draw,
                                         HBRUSH background = GetSysColorBrush(COLOR_BTNFACE)) {
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all{0, 0, width, height};
  FillRect(mem, &all, background);
  int saved = SaveDC(mem);
  draw(mem);
  RestoreDC(mem, saved);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(mem, x, y));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return pixels;
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
