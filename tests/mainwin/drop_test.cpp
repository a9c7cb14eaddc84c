// Folders dropped on the main window: a real drop handle in WM_DROPFILES, the real question
// dialog and message boxes answered from a helper thread.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "engine/run_state.h"
#include "tests/mainwin/main_window_fixture.h"
#include "tests/support/accessible_probe.h"
#include "tests/support/temp_tree.h"
#include "ui/toolkit/drives.h"
#include "ui/toolkit/window_text.h"

using namespace vemo;
using namespace vemo::testing;
using vemo::test::TempTree;

namespace {

// A drop handle as the shell makes it: DROPFILES, then the wide paths, each ended by a zero,
// and one more zero.
HDROP MakeDrop(const std::vector<std::string>& paths) {
  std::wstring list;
  for (const std::string& path : paths) list += ToWide(path) + L'\0';
  list += L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  memcpy(reinterpret_cast<BYTE*>(files) + sizeof(DROPFILES), list.data(),
         list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

void Drop(HDROP drop) {
  SendMessageW(Form1->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  Pump();
}

HWND OpenDialog() {
  HWND dialog = DragDropMsg->Handle();
  return IsWindowVisible(dialog) && DragDropMsg->Modal() ? dialog : nullptr;
}

class FolderDrop : public MainWindowTest {
 protected:
  void SetUp() override {
    ShowQuietly();
    SharedRunState().language = 0;
    start = tree.Folder("start");
    for (int side = 0; side < 2; ++side) {
      ui::FolderList& list = side ? Form1->DirectoryListBox2 : Form1->DirectoryListBox1;
      ui::DriveBox& box = side ? Form1->DriveComboBox2 : Form1->DriveComboBox1;
      box.SetDrive(start[0]);
      list.SetDirectory(start);
    }
    Form1->Edit1.SetText("Folder 1");
    Form1->Edit2.SetText("Folder 2");
  }
  void ExpectUnchanged() {
    EXPECT_EQ(Form1->Edit1.Text(), "Folder 1");
    EXPECT_EQ(Form1->Edit2.Text(), "Folder 2");
    EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
    EXPECT_EQ(Form1->DirectoryListBox2.Directory(), start);
  }
  // Drops the paths and answers the question dialog with `answer` run on the helper thread,
  // which first reads the dialog as a screen reader does (readAloud: its texts).
  std::string DropAndAnswer(const std::vector<std::string>& paths,
                            const std::function<void(HWND)>& answer) {
    std::string question;
    WhenWindow dialog(OpenDialog, [&](HWND window) {
      question = DragDropMsg->Message.Caption();
      readAloud = AccessibleTexts(window);
      answer(window);
    });
    Drop(MakeDrop(paths));
    dialog.Join();
    EXPECT_TRUE(dialog.Found());
    return question;
  }
  TempTree tree{"drop"};
  std::string start;
  std::vector<std::string> readAloud;
};

TEST_F(FolderDrop, MoreThanOneItemIsRefused) {
  std::string a = tree.Folder("a"), b = tree.Folder("b");
  std::string file = tree.File("c.txt");
  for (const auto& paths : {std::vector<std::string>{a, b}, std::vector<std::string>{a, b, file}}) {
    AnswerBox answer(IDOK);
    Drop(MakeDrop(paths));
    SeenBox box = answer.Seen();
    EXPECT_EQ(box.caption, "Vemo");
    EXPECT_EQ(box.text, "Can accept only ONE Folder");
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(IsWindowVisible(DragDropMsg->Handle()));
    ExpectUnchanged();
  }
  // The language is read at each drop.
  SharedRunState().language = 1;
  AnswerBox answer(IDOK);
  Drop(MakeDrop({a, b}));
  EXPECT_EQ(answer.Seen().text, "ドラッグアンドドロップはひとつのフォルダのみサポートしています");
  SharedRunState().language = 0;
}

TEST_F(FolderDrop, EnterMakesTheDroppedFolderFolder1) {
  std::string dropped = tree.Folder("Dropped Folder");
  std::string question = DropAndAnswer({dropped}, [](HWND) {
    PressKey(GetWindowThreadProcessId(DragDropMsg->Handle(), nullptr), VK_RETURN);
  });
  EXPECT_EQ(question, "Which folder (1 or 2) do you want droped folder set?");
  EXPECT_EQ(readAloud, std::vector<std::string>{question});
  EXPECT_EQ(Form1->Edit1.Text(), dropped);
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), dropped);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), dropped[0]);
  EXPECT_EQ(Form1->Edit2.Text(), "Folder 2");
  EXPECT_FALSE(IsWindowVisible(DragDropMsg->Handle()));
}

TEST_F(FolderDrop, EscapeDoesNothingAndCancelChangesNothing) {
  std::string dropped = tree.Folder("x");
  bool openAfterEscape = false;
  DropAndAnswer({dropped}, [&](HWND window) {
    PressKey(GetWindowThreadProcessId(window, nullptr), VK_ESCAPE);
    ASSERT_TRUE(test::SettledFromOutside());
    openAfterEscape = IsWindowVisible(window) != FALSE;
    PressButton(window, "Cancel");
  });
  EXPECT_TRUE(openAfterEscape);
  ExpectUnchanged();
}

// The dialog opens with the focus on "Folder 1 (&1)" whichever button answered it last time,
// so Enter always means Folder 1.
TEST_F(FolderDrop, TheQuestionOpensOnFolder1AfterCancelAndAfterFolder2) {
  std::string dropped = tree.Folder("again");
  auto focusAtOpen = [](HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
  };
  const DWORD ui = GetWindowThreadProcessId(DragDropMsg->Handle(), nullptr);
  HWND first = nullptr, second = nullptr, third = nullptr;
  DropAndAnswer({dropped}, [&](HWND window) {  // Tab, Tab, Enter: Cancel
    first = focusAtOpen(window);
    const WPARAM keys[] = {VK_TAB, VK_TAB, VK_RETURN};
    for (const WPARAM& key : keys) {
      // To the focus: a key waits until the one before has moved it.
      if (&key != keys) {
        ASSERT_TRUE(test::SettledFromOutside());
      }
      PressKey(ui, key);
    }
  });
  ExpectUnchanged();
  DropAndAnswer({dropped}, [&](HWND window) {  // Alt+2: "Folder2 (&2)"
    second = focusAtOpen(window);
    PostMessageW(focusAtOpen(window), WM_SYSCHAR, L'2', 1 << 29);
  });
  EXPECT_EQ(Form1->Edit2.Text(), dropped);
  DropAndAnswer({dropped}, [&](HWND window) {
    third = focusAtOpen(window);
    PressKey(ui, VK_RETURN);
  });
  EXPECT_EQ(Form1->Edit1.Text(), dropped);
  EXPECT_EQ(first, DragDropMsg->Button1.Handle());
  EXPECT_EQ(second, DragDropMsg->Button1.Handle()) << "after Cancel";
  EXPECT_EQ(third, DragDropMsg->Button1.Handle()) << "after Folder2 (&2)";
}

TEST_F(FolderDrop, ADroppedFileSelectsItsFolderOnFolder2) {
  std::string folder = tree.Folder("holder");
  std::string file = tree.File("holder\\data.txt");
  // The second time the list shows the file's folder already, and so tells nothing.
  for (const char* when : {"first", "again"}) {
    DropAndAnswer({file}, [](HWND window) { PressButton(window, "Folder2 (&2)"); });
    EXPECT_EQ(Form1->Edit2.Text(), folder) << when;
    EXPECT_EQ(Form1->DirectoryListBox2.Directory(), folder) << when;
    EXPECT_EQ(Form1->Edit1.Text(), "Folder 1") << when;
  }
}

TEST_F(FolderDrop, TheFolderTheSideShowsAlreadyKeepsTheDroppedText) {
  int changes = 0;
  auto keep = Form1->DirectoryListBox1.OnChange;
  Form1->DirectoryListBox1.OnChange = [&] {
    ++changes;
    keep();
  };
  std::string typed = start;
  for (char& c : typed) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  DropAndAnswer({typed}, [](HWND window) { PressButton(window, "Folder 1 (&1)"); });
  Form1->DirectoryListBox1.OnChange = keep;
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Form1->Edit1.Text(), typed);
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
}

TEST_F(FolderDrop, ErrorsInTheMovesAreSilent) {
  std::string gone = tree.Path() + "\\vanished";
  AnswerBox none(IDOK);
  DropAndAnswer({gone}, [](HWND window) { PressButton(window, "Folder 1 (&1)"); });
  EXPECT_FALSE(none.SeenAfterSettling().shown);
  EXPECT_EQ(Form1->Edit1.Text(), gone);
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
}

TEST_F(FolderDrop, LongAndNonAnsiNamesArriveWhole) {
  // Deeper than the old 260-character limit, with names outside any ANSI code page.
  std::string folder = tree.Path();
  while (ToWide(folder).size() < 300) {
    folder += "\\長い名前のフォルダ";
    CreateDirectoryW((L"\\\\?\\" + ToWide(folder)).c_str(), nullptr);
  }
  DropAndAnswer({folder}, [](HWND window) { PressButton(window, "Folder 1 (&1)"); });
  EXPECT_EQ(Form1->Edit1.Text(), folder);
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), folder);
}

TEST_F(FolderDrop, TheJapaneseQuestion) {
  SharedRunState().language = 1;
  std::string dropped = tree.Folder("j");
  std::string question =
      DropAndAnswer({dropped}, [](HWND window) { PressButton(window, "Cancel"); });
  SharedRunState().language = 0;
  EXPECT_EQ(question, "ドロップされたフォルダは Folder 1/2 のどちらに設定しますか?");
  EXPECT_EQ(readAloud, std::vector<std::string>{question});
  ExpectUnchanged();
}

}  // namespace
