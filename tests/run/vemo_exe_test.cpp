// The real vemo.exe driven from outside: a run started from the keyboard to its final box, and
// Emergency Exit answered Yes, which ends the program without storing the settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/run/folder_tree.h"
#include "tests/run/message_box_probe.h"
#include "tests/run/vemo_process.h"

namespace vemo {
namespace {

using namespace vemo::testing;

const char* const kSettingsKey = "Software\\Pelk\\Vemo";

bool settingsKeyExists() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, toWide(kSettingsKey).c_str(), 0, KEY_READ, &key) != 0)
    return false;
  RegCloseKey(key);
  return true;
}

std::string storedText(const char* name) {
  wchar_t value[1024] = L"";
  DWORD size = sizeof value;
  RegGetValueW(HKEY_CURRENT_USER, toWide(kSettingsKey).c_str(), toWide(name).c_str(),
               RRF_RT_REG_SZ, nullptr, value, &size);
  return toUtf8(value);
}

void removeSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, toWide(kSettingsKey).c_str()); }

TEST(VemoExe, RunStartedWithEnterInAnEditBoxEndsInTheFinalBox) {
  removeSettings();
  FolderTree tree("e2e");
  const std::string one = tree.folder("one"), two = tree.folder("two");
  tree.file("one/a.txt", "same");
  tree.file("two/a.txt", "same");

  VemoProcess vemo(VEMO_EXE);
  ASSERT_TRUE(vemo.started());
  HWND main = vemo.waitMainWindow(30000);
  ASSERT_TRUE(main);
  std::vector<HWND> edits = editBoxes(main);
  ASSERT_EQ(edits.size(), 2u);
  typeInto(edits[0], one);
  typeInto(edits[1], two);
  pressEnter(edits[1]);

  FoundBox box = findMessageBox("Completed.", vemo.pid(), 30000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.text, "No difference found.   (compared files:1  0KB)");
  pressBoxButton(box, IDOK);
  ASSERT_TRUE(vemo.waitWindow("Vemo", "", 10000));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(vemo.waitExit(20000), 0);
  EXPECT_EQ(storedText("Folder1"), one);  // what was typed, stored at the close
  EXPECT_EQ(storedText("Folder2"), two);
}

TEST(VemoExe, EmergencyExitYesEndsTheProgramWithoutStoringSettings) {
  removeSettings();
  FolderTree tree("exit");
  const std::string one = tree.folder("one"), two = tree.folder("two");
  for (const char* side : {"one", "two"})
    std::filesystem::resize_file(std::filesystem::u8path(tree.file(std::string(side) + "/big.bin", "")),
                                 4ull << 30);

  VemoProcess vemo(VEMO_EXE);
  ASSERT_TRUE(vemo.started());
  HWND main = vemo.waitMainWindow(30000);
  ASSERT_TRUE(main);
  const bool keyAfterStart = settingsKeyExists();
  std::vector<HWND> edits = editBoxes(main);
  ASSERT_EQ(edits.size(), 2u);
  SendMessageW(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toWide(one).c_str()));
  SendMessageW(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toWide(two).c_str()));
  PostMessageW(childWithText(main, "Start"), BM_CLICK, 0, 0);

  HWND progress = vemo.waitWindow("Vemo -  Comparing...", "", 10000);
  ASSERT_TRUE(progress);
  Sleep(500);
  PostMessageW(childWithText(progress, "Emergency Exit"), BM_CLICK, 0, 0);
  FoundBox question = findMessageBox("Exit Vemo ?", vemo.pid());
  ASSERT_TRUE(question);
  EXPECT_EQ(question.text, "Exit Vemo ?");
  pressBoxButton(question, IDYES);
  EXPECT_EQ(vemo.waitExit(10000), 0) << "the program did not end";
  EXPECT_EQ(settingsKeyExists(), keyAfterStart);
  if (keyAfterStart) {
    EXPECT_NE(storedText("Folder1"), one);
  }
}

}  // namespace
}  // namespace vemo
