// The real vemo.exe driven from outside: a run started from the keyboard to its final box, a run
// that the taskbar and close requests cannot take the front from, and Emergency Exit answered
// Yes, which ends the program without storing the settings.
#include <windows.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/run/user_input.h"
#include "tests/run/vemo_process.h"
#include "tests/support/temp_tree.h"
#include "tests/support/window_probe.h"

namespace vemo {
namespace {

using namespace vemo::testing;
using test::TempTree;

const char* const kSettingsKey = "Software\\Pelk\\Vemo";

bool SettingsKeyExists() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(kSettingsKey).c_str(), 0, KEY_READ, &key) != 0)
    return false;
  RegCloseKey(key);
  return true;
}

std::string StoredText(const char* name) {
  wchar_t value[1024] = L"";
  DWORD size = sizeof value;
  RegGetValueW(HKEY_CURRENT_USER, ToWide(kSettingsKey).c_str(), ToWide(name).c_str(), RRF_RT_REG_SZ,
               nullptr, value, &size);
  return ToUtf8(value);
}

void RemoveSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(kSettingsKey).c_str()); }

// Two folders, each holding one sparse file of `size` bytes: a run over them takes a while.
void MakeBigPair(TempTree& tree, uint64_t size) {
  for (const char* side : {"one", "two"})
    std::filesystem::resize_file(
        std::filesystem::u8path(tree.File(std::string(side) + "/big.bin", "")), size);
}

// Types the folders into the main window's edit boxes and clicks Start, as the user does.
void StartRun(HWND main, const std::string& one, const std::string& two) {
  std::vector<HWND> edits = EditBoxes(main);
  ASSERT_EQ(edits.size(), 2u);
  SendMessageW(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(one).c_str()));
  SendMessageW(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(two).c_str()));
  PostMessageW(ChildWithText(main, "Start"), BM_CLICK, 0, 0);
}

TEST(VemoExe, RunStartedWithEnterInAnEditBoxEndsInTheFinalBox) {
  RemoveSettings();
  TempTree tree("e2e");
  const std::string one = tree.Folder("one"), two = tree.Folder("two");
  tree.File("one/a.txt", "same");
  tree.File("two/a.txt", "same");

  VemoProcess vemo(VEMO_EXE);
  ASSERT_TRUE(vemo.Started());
  HWND main = vemo.WaitMainWindow(30000);
  ASSERT_TRUE(main);
  std::vector<HWND> edits = EditBoxes(main);
  ASSERT_EQ(edits.size(), 2u);
  TypeInto(edits[0], one);
  TypeInto(edits[1], two);
  PressEnter(edits[1]);

  SeenBox box = ReadMessageBox(FindMessageBox("Completed.", vemo.Pid(), 30000));
  ASSERT_TRUE(box);
  EXPECT_EQ(box.text, "No difference found.   (compared files:1  0KB)");
  PressBoxButton(box.hwnd, IDOK);
  ASSERT_TRUE(vemo.WaitWindow("Vemo", "", 10000));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(vemo.WaitExit(20000), 0);
  EXPECT_EQ(StoredText("Folder1"), one);  // what was typed, stored at the close
  EXPECT_EQ(StoredText("Folder2"), two);
}

// Mid-run, the taskbar's restore and close requests to the progress window change nothing:
// the main window stays hidden and disabled. The final box comes up in front with the focus,
// so that Enter, pressed on the keyboard, answers it; then the main window is back.
TEST(VemoExe, ARunKeepsTheFrontUntilItsBoxIsAnswered) {
  RemoveSettings();
  TempTree tree("front");
  const std::string one = tree.Folder("one"), two = tree.Folder("two");
  MakeBigPair(tree, 1ull << 30);

  VemoProcess vemo(VEMO_EXE);
  ASSERT_TRUE(vemo.Started());
  HWND main = vemo.WaitMainWindow(30000);
  ASSERT_TRUE(main);
  ASSERT_NO_FATAL_FAILURE(StartRun(main, one, two));
  HWND progress = vemo.WaitWindow("Vemo -  Comparing...", "", 10000);
  ASSERT_TRUE(progress);

  HWND taskbar = nullptr;
  for (HWND w : TopWindows(vemo.Pid()))
    if (ClassName(w) == "VemoApplication") taskbar = w;
  ASSERT_TRUE(taskbar);
  PostMessageW(taskbar, WM_SYSCOMMAND, SC_RESTORE, 0);
  PostMessageW(progress, WM_CLOSE, 0, 0);
  PostMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(PostedMessagesHandled(EditBoxes(main)[0]));
  EXPECT_TRUE(IsWindowVisible(progress));
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(GetForegroundWindow(), progress);

  HWND box = FindMessageBox("Completed.", vemo.Pid(), 60000);
  ASSERT_TRUE(box);
  // It takes the front as it opens (through the program's own posted request).
  WaitFor([box] { return GetForegroundWindow() == box; });
  EXPECT_EQ(GetForegroundWindow(), box);
  EXPECT_TRUE(Above(box, progress));
  Press(VK_RETURN);
  WaitFor([main] { return IsWindowVisible(main) && IsWindowEnabled(main); });
  EXPECT_FALSE(IsWindow(box)) << "Enter did not answer the box";
  EXPECT_FALSE(IsWindowVisible(progress));
  EXPECT_TRUE(IsWindowVisible(main) && IsWindowEnabled(main));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(vemo.WaitExit(20000), 0);
}

TEST(VemoExe, EmergencyExitYesEndsTheProgramWithoutStoringSettings) {
  RemoveSettings();
  TempTree tree("exit");
  const std::string one = tree.Folder("one"), two = tree.Folder("two");
  MakeBigPair(tree, 4ull << 30);

  VemoProcess vemo(VEMO_EXE);
  ASSERT_TRUE(vemo.Started());
  HWND main = vemo.WaitMainWindow(30000);
  ASSERT_TRUE(main);
  const bool keyAfterStart = SettingsKeyExists();
  ASSERT_NO_FATAL_FAILURE(StartRun(main, one, two));

  HWND progress = vemo.WaitWindow("Vemo -  Comparing...", "", 10000);
  ASSERT_TRUE(progress);
  PostMessageW(ChildWithText(progress, "Emergency Exit"), BM_CLICK, 0, 0);
  SeenBox question = ReadMessageBox(FindMessageBox("Exit Vemo ?", vemo.Pid(), 10000));
  ASSERT_TRUE(question);
  EXPECT_EQ(question.text, "Exit Vemo ?");
  PressBoxButton(question.hwnd, IDYES);
  EXPECT_EQ(vemo.WaitExit(10000), 0) << "the program did not end";
  EXPECT_EQ(SettingsKeyExists(), keyAfterStart);
  if (keyAfterStart) {
    EXPECT_NE(StoredText("Folder1"), one);
  }
}

}  // namespace
}  // namespace vemo
