// Drives modal windows from a helper thread while the test's thread waits inside them:
// finds the window, notes what it shows, presses its buttons.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/settle.h"
#include "tests/support/window_probe.h"

namespace vemo::testing {

// Whether the keyboard focus of the window's thread lies in the window: a dialog or message box
// has finished opening.
inline bool HoldsFocus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
         (info.hwndFocus == window || IsChild(window, info.hwndFocus));
}

// Runs `act` on a helper thread once `find` names a window (polled) that has finished opening,
// while the test's thread sits in a modal loop. Gives up after the timeout, which fails the
// test unless it was told to stop waiting; `Found` tells whether it acted.
class WhenWindow {
 public:
  WhenWindow(std::function<HWND()> find, std::function<void(HWND)> act,
             int timeoutMs = test::kHangGuardMs)
      : timeoutMs_(timeoutMs), thread_([this, find, act, timeoutMs] {
          DWORD end = GetTickCount() + timeoutMs;
          while (static_cast<int>(end - GetTickCount()) > 0 && !stop_) {
            HWND window = find();
            if (window && HoldsFocus(window)) {
              act(window);
              found_ = true;
              return;
            }
            Sleep(20);
          }
        }) {}
  ~WhenWindow() { Join(); }
  void Join() {
    if (!thread_.joinable()) return;
    thread_.join();
    if (!found_ && !stop_)
      ADD_FAILURE() << "the window did not come within " << timeoutMs_ << " ms";
  }
  // Stops waiting (for a window that should not come).
  void Stop() {
    stop_ = true;
    Join();
  }
  bool Found() const { return found_; }

 private:
  const int timeoutMs_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> found_{false};
  std::thread thread_;
};

// Answers the next message box with a button id, noting what it showed.
class AnswerBox {
 public:
  explicit AnswerBox(int buttonId, int timeoutMs = test::kHangGuardMs)
      : watch_([] { return FindMessageBox({}, GetCurrentProcessId()); },  // any caption
               [this, buttonId](HWND box) {
                 seen_ = ReadMessageBox(box);
                 PressBoxButton(box, buttonId);
               },
               timeoutMs) {}
  // Waits for the helper and returns what the box showed (shown false when none came).
  SeenBox Seen() {
    watch_.Join();
    return seen_;
  }
  // For a box that should not come, on the user-interface thread after the action: handles
  // everything the action left waiting (a box it queued would open now), then stops waiting.
  SeenBox SeenAfterSettling() {
    test::Settle();
    watch_.Stop();
    return seen_;
  }

 private:
  SeenBox seen_;
  WhenWindow watch_;
};

// Presses a button of one of our own forms by its caption (from the helper thread).
inline void PressButton(HWND form, const std::string& caption) {
  if (HWND button = ChildWithText(form, caption))
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// A key pressed in a window of another thread: it goes to the focused control there.
inline void PressKey(DWORD uiThread, WPARAM key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(uiThread, &info);
  HWND target = info.hwndFocus ? info.hwndFocus : info.hwndActive;
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

}  // namespace vemo::testing
