// A user's hand on the real windows: mouse clicks and keys through the system's input queue
// (they reach the window under the pointer, or the focus, as the system decides), and what the
// user then sees: which window is in front, which has the focus.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "tests/support/window_probe.h"

namespace vemo::testing {

inline void SendMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &input, sizeof input);
}

inline POINT Centre(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The pointer is where the press lands before the button goes down: the system may still be
// moving it from an earlier position.
inline void MouseDownAt(POINT p) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p.x, p.y);
  WaitFor([p] {
    POINT now{};
    GetCursorPos(&now);
    return std::abs(now.x - p.x) <= 1 && std::abs(now.y - p.y) <= 1;
  });
  SendMouse(MOUSEEVENTF_LEFTDOWN);
}

inline void MouseUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

inline void ClickAt(POINT p) {
  MouseDownAt(p);
  Sleep(30);
  MouseUp();
}

// A click at the middle of a window (a control), wherever it is on the screen.
inline void Click(HWND window) { ClickAt(Centre(window)); }

inline void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

// A key pressed and released, with Alt held around it when asked.
inline void Press(WORD key, bool alt = false) {
  if (alt) SendKey(VK_MENU, false);
  SendKey(key, false);
  SendKey(key, true);
  if (alt) SendKey(VK_MENU, true);
}

// Whether `upper` lies above `lower` in the z-order of the top-level windows.
inline bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
    if (w == lower) return true;
  return false;
}

// The visible top-level windows of this process other than `except`, in z-order.
inline std::vector<HWND> OtherShownWindows(HWND except) {
  std::vector<HWND> shown;
  for (HWND w : TopWindows(GetCurrentProcessId()))
    if (w != except) shown.push_back(w);
  return shown;
}

// The window with the keyboard focus in the thread that owns `window`.
inline HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// The final box of a run in this process, looked for until timeoutMs has passed; or null. It
// sends the box nothing (FindMessageBox): the box's thread may be busy.
inline HWND FinalBox(int timeoutMs = 0) {
  return FindMessageBox({"Completed.", "One or more errors found."}, GetCurrentProcessId(),
                        timeoutMs);
}

}  // namespace vemo::testing
