// Drives modal windows from a helper thread while the test's thread waits inside them:
// finds the window, notes what it shows, presses its buttons.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace vemo::testing {

inline std::string TextOf(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(length + 1, L'\0');
  length = GetWindowTextW(window, text.data(), length + 1);
  text.resize(length);
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

inline std::string ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  std::string narrow;
  for (wchar_t c : std::wstring(name)) narrow += static_cast<char>(c);
  return narrow;
}

// A visible message box of this process, or null.
inline HWND FindMessageBox() {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
        if (ClassOf(window) != "#32770") return TRUE;
        reinterpret_cast<Search*>(data)->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// What a message box shows.
struct SeenBox {
  bool shown = false;
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;
  int defaultId = 0;  // the button drawn as the default one (Enter)
};

inline SeenBox Describe(HWND box) {
  SeenBox seen;
  seen.shown = true;
  seen.caption = TextOf(box);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string kind = ClassOf(child);
    if (kind == "Button") {
      seen.buttons.push_back(TextOf(child));
      if ((GetWindowLongW(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
        seen.defaultId = GetDlgCtrlID(child);
    }
    if (kind == "Static" && seen.text.empty()) seen.text = TextOf(child);
  }
  return seen;
}

// Runs `act` on a helper thread once `find` names a window (polled), while the test's thread
// sits in a modal loop. Gives up after the timeout, which fails the test unless it was told to
// stop waiting; `Found` tells whether it acted.
class WhenWindow {
 public:
  WhenWindow(std::function<HWND()> find, std::function<void(HWND)> act, int timeoutMs = 10000)
      : timeoutMs_(timeoutMs), thread_([this, find, act, timeoutMs] {
          DWORD end = GetTickCount() + timeoutMs;
          while (static_cast<int>(end - GetTickCount()) > 0 && !stop_) {
            if (HWND window = find()) {
              Sleep(50);  // let the window finish opening
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
  explicit AnswerBox(int buttonId, int timeoutMs = 10000)
      : watch_(
            FindMessageBox,
            [this, buttonId](HWND box) {
              seen_ = Describe(box);
              PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
            },
            timeoutMs) {}
  // Waits for the helper and returns what the box showed (shown false when none came).
  SeenBox Seen() {
    watch_.Join();
    return seen_;
  }
  // For a box that should not come: stops waiting after a while.
  SeenBox SeenWithin(int milliseconds) {
    Sleep(milliseconds);
    watch_.Stop();
    return seen_;
  }

 private:
  SeenBox seen_;
  WhenWindow watch_;
};

// Presses a button of one of our own forms by its caption (from the helper thread).
inline void PressButton(HWND form, const std::string& caption) {
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == "Button" && TextOf(child) == caption) {
      PostMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                   reinterpret_cast<LPARAM>(child));
      return;
    }
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
