// The real vemo.exe driven from outside: a run started from the keyboard to its final box, and
// Emergency Exit answered Yes, which ends the program without storing the settings.
#include <windows.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/run/message_box_probe.h"
#include "tests/run/vemo_process.h"
#include "tests/support/temp_tree.h"

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

  FoundBox box = FindMessageBox("Completed.", vemo.Pid(), 30000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.text, "No difference found.   (compared files:1  0KB)");
  PressBoxButton(box, IDOK);
  ASSERT_TRUE(vemo.WaitWindow("Vemo", "", 10000));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(vemo.WaitExit(20000), 0);
  EXPECT_EQ(StoredText("Folder1"), one);  // what was typed, stored at the close
  EXPECT_EQ(StoredText("Folder2"), two);
}

TEST(VemoExe, EmergencyExitYesEndsTheProgramWithoutStoringSettings) {
  RemoveSettings();
  TempTree tree("exit");
  const std::string one = tree.Folder("one"), two = tree.Folder("two");
  for (const char* side : {"one", "two"})
    std::filesystem::resize_file(
        std::filesystem::u8path(tree.File(std::string(side) + "/big.bin", "")), 4ull << 30);

  VemoProcess vemo(VEMO_EXE);
  ASSERT_TRUE(vemo.Started());
  HWND main = vemo.WaitMainWindow(30000);
  ASSERT_TRUE(main);
  const bool keyAfterStart = SettingsKeyExists();
  std::vector<HWND> edits = EditBoxes(main);
  ASSERT_EQ(edits.size(), 2u);
  SendMessageW(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(one).c_str()));
  SendMessageW(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(two).c_str()));
  PostMessageW(ChildWithText(main, "Start"), BM_CLICK, 0, 0);

  HWND progress = vemo.WaitWindow("Vemo -  Comparing...", "", 10000);
  ASSERT_TRUE(progress);
  Sleep(500);
  PostMessageW(ChildWithText(progress, "Emergency Exit"), BM_CLICK, 0, 0);
  FoundBox question = FindMessageBox("Exit Vemo ?", vemo.Pid());
  ASSERT_TRUE(question);
  EXPECT_EQ(question.text, "Exit Vemo ?");
  PressBoxButton(question, IDYES);
  EXPECT_EQ(vemo.WaitExit(10000), 0) << "the program did not end";
  EXPECT_EQ(SettingsKeyExists(), keyAfterStart);
  if (keyAfterStart) {
    EXPECT_NE(StoredText("Folder1"), one);
  }
}

}  // namespace
}  // namespace vemo
