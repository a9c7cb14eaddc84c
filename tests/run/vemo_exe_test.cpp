// The real vemo.exe driven from outside: a run started from the keyboard to its final box, a run
// that the taskbar and close requests cannot take the front from, Emergency Exit answered Yes,
// which ends the program without storing the settings, and the session's end during a run.
#include <windows.h>

#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "tests/run/user_input.h"
#include "tests/support/settle.h"
#include "tests/support/temp_tree.h"
#include "tests/support/vemo_process.h"
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

// vemo.exe in the middle of a run over two sparse files of `size` bytes, started as the user
// starts one (the settings removed first).
struct LongRun {
  explicit LongRun(const char* name, uint64_t size)
      : tree(name), one(tree.Folder("one")), two(tree.Folder("two")) {
    RemoveSettings();
    MakeBigPair(tree, size);
  }
  // Starts vemo.exe and the run; call through ASSERT_NO_FATAL_FAILURE.
  void Start() {
    vemo.emplace(VEMO_EXE);
    ASSERT_TRUE(vemo->Started());
    main = vemo->WaitMainWindow(30000);
    ASSERT_TRUE(main);
    ASSERT_NO_FATAL_FAILURE(StartRun(main, one, two));
    progress = vemo->WaitWindow("Vemo -  Comparing...", "", 10000);
    ASSERT_TRUE(progress);
  }

  TempTree tree;
  const std::string one, two;
  std::optional<VemoProcess> vemo;
  HWND main = nullptr, progress = nullptr;
};

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
  LongRun run("front", 1ull << 30);
  ASSERT_NO_FATAL_FAILURE(run.Start());
  VemoProcess& vemo = *run.vemo;
  HWND main = run.main, progress = run.progress;

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
  LongRun run("exit", 4ull << 30);
  ASSERT_NO_FATAL_FAILURE(run.Start());
  VemoProcess& vemo = *run.vemo;
  const bool keyAfterStart = SettingsKeyExists();  // a run's start stores nothing
  PostMessageW(ChildWithText(run.progress, "Emergency Exit"), BM_CLICK, 0, 0);
  SeenBox question = ReadMessageBox(FindMessageBox("Exit Vemo ?", vemo.Pid(), test::kHangGuardMs));
  ASSERT_TRUE(question);
  EXPECT_EQ(question.text, "Exit Vemo ?");
  PressBoxButton(question.hwnd, IDYES);
  EXPECT_EQ(vemo.WaitExit(test::kHangGuardMs), 0) << "the program did not end";
  EXPECT_EQ(SettingsKeyExists(), keyAfterStart);
  if (keyAfterStart) {
    EXPECT_NE(StoredText("Folder1"), run.one);
  }
}

// The desktop session ends mid-run (log off, shut down): every window of the program is asked
// and told as the system asks and tells them. The run is abandoned as Emergency Exit abandons it,
// and the settings stored are those the run started with, not what changed since.
TEST(VemoExe, TheSessionsEndMidRunStoresTheSettingsTheRunStartedWith) {
  LongRun run("session", 4ull << 30);
  ASSERT_NO_FATAL_FAILURE(run.Start());
  VemoProcess& vemo = *run.vemo;
  SendMessageW(EditBoxes(run.main)[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed mid-run"));

  const std::vector<HWND> windows = TopWindows(vemo.Pid(), false);
  for (HWND window : windows) {
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, test::kHangGuardMs, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << ClassName(window);
  }
  for (HWND window : windows)
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                        test::kHangGuardMs, nullptr);
  EXPECT_EQ(vemo.WaitExit(test::kHangGuardMs), 0) << "the run was not abandoned";
  EXPECT_EQ(StoredText("Folder1"), run.one);
  EXPECT_EQ(StoredText("Folder2"), run.two);
}

}  // namespace
}  // namespace vemo
