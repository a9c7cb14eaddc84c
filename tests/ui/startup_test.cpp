// The real vemo.exe: it starts with the main window "Vemo" (and nothing else visible), the
// taskbar text "Vemo", ignores its command line, and ends with exit code 0 when the main
// window closes.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/vemo_process.h"
#include "tests/support/window_probe.h"
#include "ui/toolkit/form.h"

namespace vemo {
namespace {

using namespace testing;

// The program's top-level windows: its application window (shown or not) and its visible forms.
struct Found {
  HWND main = nullptr, app = nullptr;
  int visibleForms = 0;
};

Found FindWindows(DWORD pid) {
  Found found;
  for (HWND hwnd : TopWindows(pid, false)) {
    const std::string kind = ClassName(hwnd);
    if (kind == "VemoApplication") found.app = hwnd;
    if (kind == "VemoForm" && IsWindowVisible(hwnd)) {
      ++found.visibleForms;
      found.main = hwnd;
    }
  }
  return found;
}

void StartShowAndClose(const std::string& arguments) {
  VemoProcess vemo(WinePath(VEMO_EXE), arguments);
  ASSERT_TRUE(vemo.Started());
  // The first start in a fresh prefix tells about the settings it will make: answered on the way.
  HWND main = vemo.WaitMainWindow(30000);
  ASSERT_NE(main, nullptr);
  // Once the program has handled what it posted itself at start-up, it shows one window.
  ASSERT_TRUE(PostedMessagesHandled(EditBoxes(main)[0]));
  const Found found = FindWindows(vemo.Pid());
  EXPECT_EQ(found.visibleForms, 1);
  EXPECT_EQ(found.main, main);
  EXPECT_EQ(CaptionOf(found.main), "Vemo");
  ASSERT_NE(found.app, nullptr);
  EXPECT_EQ(CaptionOf(found.app), "Vemo");
  EXPECT_EQ(GetWindow(found.main, GW_OWNER), found.app);
  // Its windows carry the same mark as ours, but they are not objects of this process.
  EXPECT_EQ(ui::Form::FromWindow(found.main), nullptr);

  PostMessageW(found.main, WM_CLOSE, 0, 0);
  const long code = vemo.WaitExit(20000);
  ASSERT_NE(code, -1) << "the program did not end";
  EXPECT_EQ(code, 0);
}

TEST(StartUp, ShowsTheMainWindowAndEndsWithZeroWhenItCloses) { StartShowAndClose(""); }

TEST(StartUp, TheCommandLineIsIgnored) { StartShowAndClose("C:\\ D:\\ /r -x --help"); }

}  // namespace
}  // namespace vemo
