// The real vemo.exe: it starts with the main window "Vemo" (and nothing else visible), the
// taskbar text "Vemo", ignores its command line, and ends with exit code 0 when the main
// window closes.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "ui/toolkit/form.h"

namespace {

std::wstring ExePath() {
  std::string unixPath = VEMO_EXE;
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : (wchar_t)c;
  return path;
}

struct Found {
  DWORD pid;
  HWND main = nullptr, app = nullptr, message_box = nullptr;
  int visibleForms = 0;
};

BOOL CALLBACK FindWindows(HWND hwnd, LPARAM p) {
  auto* f = reinterpret_cast<Found*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != f->pid) return TRUE;
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (lstrcmpW(cls, L"VemoApplication") == 0) f->app = hwnd;
  if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) f->message_box = hwnd;
  if (lstrcmpW(cls, L"VemoForm") == 0 && IsWindowVisible(hwnd)) {
    ++f->visibleForms;
    f->main = hwnd;
  }
  return TRUE;
}

std::wstring Text(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

void StartShowAndClose(const std::wstring& arguments) {
  std::wstring command = L"\"" + ExePath() + L"\"" + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  Found found{pi.dwProcessId};
  for (int i = 0; i < 300 && !found.main; ++i) {
    Sleep(50);
    found = Found{pi.dwProcessId};
    EnumWindows(FindWindows, reinterpret_cast<LPARAM>(&found));
    // The first start in a fresh prefix tells about the settings it will make: answer it.
    if (found.message_box)
      PostMessageW(found.message_box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  ASSERT_NE(found.main, nullptr);
  Sleep(300);
  found = Found{pi.dwProcessId};
  EnumWindows(FindWindows, reinterpret_cast<LPARAM>(&found));
  EXPECT_EQ(found.visibleForms, 1);
  EXPECT_EQ(Text(found.main), L"Vemo");
  ASSERT_NE(found.app, nullptr);
  EXPECT_EQ(Text(found.app), L"Vemo");
  EXPECT_EQ(GetWindow(found.main, GW_OWNER), found.app);
  // Its windows carry the same mark as ours, but they are not objects of this process.
  EXPECT_EQ(vemo::ui::Form::FromWindow(found.main), nullptr);

  PostMessageW(found.main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

TEST(StartUp, ShowsTheMainWindowAndEndsWithZeroWhenItCloses) { StartShowAndClose(L""); }

TEST(StartUp, TheCommandLineIsIgnored) { StartShowAndClose(L" C:\\ D:\\ /r -x --help"); }

}  // namespace
