// The real program's windows in the test process, with every area's handlers bound as at
// start-up, and helpers for the settings key in Wine's registry.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/mainwin/window_watch.h"
#include "ui/app/startup.h"
#include "ui/main/settings_texts.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/registry_key.h"
#include "ui/windows/forms.h"

namespace vemo::testing {

inline const char* kVersion = "Version 1.3 L11";

// The windows are made once per process, before the first test that needs them, and stay.
inline void EnsureMainWindows() {
  static const bool made = [] {
    ui::App().Initialize();
    ui::App().SetTitle("Vemo");
    CreateForms();
    BindHandlers();
    return true;
  }();
  (void)made;
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureMainWindows(); }
};

inline void DeleteSettings() {
  ASSERT_TRUE(ui::RegistryKey::DeleteTree(HKEY_CURRENT_USER, mainwin::kSettingsKey));
}

inline ui::RegistryKey SettingsKey() {
  return ui::RegistryKey::Create(HKEY_CURRENT_USER, mainwin::kSettingsKey);
}

// A complete key of this version: a window at (left, top), options as given, two folders.
inline void WriteSettings(const std::string& folder1, const std::string& folder2, int top = 40,
                          int left = 30) {
  DeleteSettings();
  ui::RegistryKey key = SettingsKey();
  key.WriteString("Version", kVersion);
  key.WriteInt("WindowTop", top);
  key.WriteInt("WindowLeft", left);
  key.WriteString("Folder1", folder1);
  key.WriteString("Folder2", folder2);
  key.WriteInt("Anime", 1);
  key.WriteInt("Recursive", 1);
  key.WriteInt("IgnoreNoFile", 0);
  key.WriteInt("IgnoreCases", 0);
  key.WriteInt("Language", 0);
}

// The quit request that closing the main window posts: taken away so the tests go on.
inline void DrainQuit() {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

inline void Pump() {
  ui::App().ProcessMessages();
  DrainQuit();
}

// Where the main window was as Windows began to show it: the place its show handler chose.
inline RECT& PlaceAsShown() {
  static RECT place{};
  return place;
}

inline LRESULT CALLBACK NotePlaceAsShown(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam &&
      call->hwnd == Form1->Handle())
    GetWindowRect(call->hwnd, &PlaceAsShown());
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Shows the main window again, so that its show handler loads the settings anew. Where it put
// the window is PlaceAsShown(): the test desktop's window manager pulls a window that appears
// partly off the screen onto it, which Windows never does.
inline void Reshow() {
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, NotePlaceAsShown, nullptr, GetCurrentThreadId());
  Form1->Hide();
  Form1->Show();
  UnhookWindowsHookEx(hook);
  Pump();
}

// Shows the main window over a key of this version (no message at all).
inline void ShowQuietly() {
  if (Form1->Visible()) return;
  WriteSettings("Folder 1", "Folder 2");
  Form1->Show();
  Pump();
}

}  // namespace vemo::testing
