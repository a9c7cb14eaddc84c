// The main window's handlers: option twins, language, drive changes, exit, help and the
// windows it opens; on the real windows, with real message boxes answered by a helper thread.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/run_state.h"
#include "tests/mainwin/main_window_fixture.h"
#include "tests/mainwin/spare_drive.h"
#include "tests/support/temp_tree.h"
#include "ui/toolkit/drives.h"

using namespace vemo;
using namespace vemo::testing;
using vemo::test::TempTree;
namespace drives = vemo::ui::drives;

namespace {

// A click on a check box as the user makes it.
void ClickBox(ui::CheckBox& box) {
  SendMessageW(box.Handle(), BM_CLICK, 0, 0);
  Pump();
}

// A menu item chosen from the menu bar.
void Choose(ui::MenuItem& item) {
  SendMessageW(Form1->Handle(), WM_COMMAND, MAKEWPARAM(item.Id(), 0), 0);
  Pump();
}

bool MenuShowsChecked(ui::MenuItem& item) {
  return GetMenuState(item.ContainingMenu(), item.Id(), MF_BYCOMMAND) & MF_CHECKED;
}

class Commands : public MainWindowTest {
 protected:
  void SetUp() override {
    ShowQuietly();
    Form1->CheckBox2.SetChecked(true);
    Form1->CheckBox3.SetChecked(false);
    Form1->CheckBox1.SetChecked(false);
    if (!Form1->AnimationA1.Checked()) Form1->AnimationA1.Click();
  }
};

TEST_F(Commands, MenuTwinsToggleTheirBoxesAndBoxesMarkTheirTwins) {
  Choose(Form1->RecursiveR1);
  EXPECT_FALSE(Form1->CheckBox2.Checked());
  EXPECT_FALSE(Form1->RecursiveR1.Checked());
  EXPECT_FALSE(MenuShowsChecked(Form1->RecursiveR1));
  Choose(Form1->RecursiveR1);
  EXPECT_TRUE(Form1->CheckBox2.Checked());
  EXPECT_TRUE(MenuShowsChecked(Form1->RecursiveR1));

  ClickBox(Form1->CheckBox3);
  EXPECT_TRUE(Form1->CheckBox3.Checked());
  EXPECT_TRUE(Form1->IgnoreNoFileN1.Checked());
  // The twins are independent of each other.
  EXPECT_TRUE(Form1->RecursiveR1.Checked());
  EXPECT_TRUE(Form1->AnimationA1.Checked());
  ClickBox(Form1->CheckBox3);
  EXPECT_FALSE(Form1->IgnoreNoFileN1.Checked());

  Choose(Form1->IgnoreNoFileN1);
  EXPECT_TRUE(Form1->CheckBox3.Checked());
  EXPECT_TRUE(Form1->IgnoreNoFileN1.Checked());
  EXPECT_TRUE(Form1->RecursiveR1.Checked());

  Choose(Form1->IgnoreCasesOfFilenameC1);
  EXPECT_TRUE(Form1->CheckBox1.Checked());
  EXPECT_TRUE(Form1->IgnoreCasesOfFilenameC1.Checked());
  ClickBox(Form1->CheckBox1);
  EXPECT_FALSE(Form1->IgnoreCasesOfFilenameC1.Checked());
  EXPECT_TRUE(Form1->IgnoreNoFileN1.Checked());
}

TEST_F(Commands, AnimationTogglesOnlyItsOwnMark) {
  Choose(Form1->AnimationA1);
  EXPECT_FALSE(Form1->AnimationA1.Checked());
  EXPECT_TRUE(Form1->RecursiveR1.Checked());
  EXPECT_TRUE(Form1->CheckBox2.Checked());
  Choose(Form1->AnimationA1);
  EXPECT_TRUE(Form1->AnimationA1.Checked());
}

TEST_F(Commands, LanguageItemsSetTheIndexAndStayARadioGroup) {
  EXPECT_FALSE(Form1->Japanese.Enabled());
  Choose(Form1->Japanese);  // disabled: cannot be chosen
  EXPECT_EQ(SharedRunState().language.load(), 0);
  EXPECT_TRUE(Form1->English.Checked());

  Form1->Japanese.Click();  // its handler, as if it could be chosen
  EXPECT_EQ(SharedRunState().language.load(), 1);
  EXPECT_TRUE(Form1->Japanese.Checked());
  EXPECT_FALSE(Form1->English.Checked());
  Choose(Form1->English);
  EXPECT_EQ(SharedRunState().language.load(), 0);
  EXPECT_TRUE(Form1->English.Checked());
  EXPECT_FALSE(Form1->Japanese.Checked());
  EXPECT_FALSE(Form1->Button3.Enabled());
}

class DriveChange : public Commands {
 protected:
  void SetUp() override {
    Commands::SetUp();
    deep = tree.Folder("deep");
    Form1->DriveComboBox1.SetDrive(deep[0]);
    Form1->DirectoryListBox1.SetDirectory(deep);
    Form1->Edit2.SetText("other side");
    list2 = Form1->DirectoryListBox2.Directory();
  }
  int IndexOf(ui::FolderList& list, const std::string& path) {
    test::PumpUntil([&list] { return !list.Listing(); }, "the sub-folders listed");
    for (int i = 0; i < list.EntryCount(); ++i)
      if (list.EntryPath(i) == path) return i;
    return -1;
  }
  TempTree tree{"drivechange"};
  std::string deep;
  std::string list2;
};

TEST_F(DriveChange, PickingADriveShowsItsCurrentFolderAndNamesItsRoot) {
  EXPECT_EQ(Form1->Edit1.Text(), deep);  // the list's change wrote it
  ui::DriveBox& box = Form1->DriveComboBox1;
  box.PickEntry(static_cast<int>(box.Letters().find('Z')));
  EXPECT_EQ(Form1->Edit1.Text(), "Z:\\");
  EXPECT_EQ(Form1->DirectoryListBox1.Drive(), 'Z');
  // Back to the first drive: its current folder is the deep one, the edit box its root.
  box.PickEntry(static_cast<int>(box.Letters().find(deep[0])));
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), deep);
  EXPECT_EQ(Form1->Edit1.Text(), std::string(1, deep[0]) + ":\\");
  // The other side did not move.
  EXPECT_EQ(Form1->Edit2.Text(), "other side");
  EXPECT_EQ(Form1->DirectoryListBox2.Directory(), list2);
}

TEST_F(DriveChange, ADriveThatIsNotReadyIsSilentAndLeavesTheList) {
  UnreadyDrive unready;
  AnswerBox none(IDOK);
  Form1->DriveComboBox1.SetDrive(static_cast<char>(tolower(unready.Letter())));
  EXPECT_FALSE(none.SeenAfterSettling().shown);
  EXPECT_EQ(Form1->Edit1.Text(), unready.Root());
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), deep);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), unready.Letter());
  Form1->DriveComboBox1.SetDrive(deep[0]);
}

TEST_F(DriveChange, OpeningAFolderNamesItAndTypingMovesNothing) {
  std::string inner = tree.Folder("deep\\inner");
  Form1->DirectoryListBox1.SetDirectory(tree.Path());
  Form1->DirectoryListBox1.SetDirectory(deep);  // refill: inner is listed now
  int index = IndexOf(Form1->DirectoryListBox1, inner);
  ASSERT_GE(index, 0);
  Form1->DirectoryListBox1.SelectEntry(index);
  SendMessageW(Form1->Handle(), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(Form1->DirectoryListBox1.Handle()), LBN_DBLCLK),
               reinterpret_cast<LPARAM>(Form1->DirectoryListBox1.Handle()));
  EXPECT_EQ(Form1->Edit1.Text(), inner);
  EXPECT_EQ(Form1->Edit2.Text(), "other side");

  Form1->Edit1.SetText("C:\\typed\\elsewhere");
  Pump();
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), inner);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), inner[0]);
}

TEST_F(DriveChange, EnterInTheFolderListOpensTheEntryInsteadOfStarting) {
  Form1->DirectoryListBox1.SetDirectory(deep);
  int parent = IndexOf(Form1->DirectoryListBox1, tree.Path());
  ASSERT_GE(parent, 0);
  Form1->DirectoryListBox1.SelectEntry(parent);
  int starts = 0;
  auto start = Form1->Button2.OnClick;
  Form1->Button2.OnClick = [&starts] { ++starts; };
  Form1->DirectoryListBox1.SetFocus();
  PostMessageW(Form1->DirectoryListBox1.Handle(), WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  Form1->Button2.OnClick = start;
  EXPECT_EQ(starts, 0);
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), tree.Path());
  EXPECT_EQ(Form1->Edit1.Text(), tree.Path());
}

TEST_F(Commands, ExitAsksAndNoLeavesEverything) {
  Form1->Edit1.SetText("kept");
  for (ui::Button* from : {&Form1->Button1, static_cast<ui::Button*>(nullptr)}) {
    AnswerBox answer(IDNO);
    if (from)
      from->Click();
    else
      Choose(Form1->ExitX1);
    SeenBox box = answer.Seen();
    EXPECT_EQ(box.caption, "Exit Vemo ?");
    EXPECT_EQ(box.text, "Exit Vemo ?");
    EXPECT_EQ(box.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(box.defaultId, IDYES);
    Pump();
    EXPECT_TRUE(Form1->Visible());
    EXPECT_EQ(Form1->Edit1.Text(), "kept");
  }
}

TEST_F(Commands, ExitAnsweredYesStoresAndCloses) {
  Form1->Edit1.SetText("stored at exit");
  DeleteSettings();
  AnswerBox answer(IDYES);
  SendMessageW(Form1->Handle(), WM_COMMAND, MAKEWPARAM(Form1->ExitX1.Id(), 0), 0);
  EXPECT_TRUE(answer.Seen().shown);
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the program ends
  EXPECT_FALSE(Form1->Visible());
  auto key = ui::RegistryKey::Open(HKEY_CURRENT_USER, mainwin::kSettingsKey);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->ReadString("Folder1"), "stored at exit");
  Form1->Show();
  Pump();
  EXPECT_EQ(Form1->Edit1.Text(), "stored at exit");
}

TEST_F(Commands, HelpShowsItsThreeLines) {
  AnswerBox answer(IDOK);
  Choose(Form1->HelphH1);
  SeenBox box = answer.Seen();
  EXPECT_EQ(box.caption, "Vemo Help");
  EXPECT_EQ(box.text, mainwin::kHelpMessage);
  EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
}

TEST_F(Commands, ErrorInfoAndAboutOpenModally) {
  for (ui::MenuItem* item : {static_cast<ui::MenuItem*>(nullptr), &Form1->ErrorInfoE1}) {
    Form2->Memo1.SetVisible(false);
    bool wasModal = false;
    WhenWindow close([] { return IsWindowVisible(Form2->Handle()) ? Form2->Handle() : nullptr; },
                     [&wasModal](HWND window) {
                       wasModal = !IsWindowEnabled(Form1->Handle());
                       PostMessageW(window, WM_CLOSE, 0, 0);
                     });
    if (item)
      Choose(*item);
    else
      Form1->Button4.Click();
    close.Join();
    EXPECT_TRUE(close.Found());
    EXPECT_TRUE(wasModal);
    EXPECT_TRUE(Form2->Memo1.Visible());
    EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
  }
  WhenWindow closeAbout([] { return IsWindowVisible(About->Handle()) ? About->Handle() : nullptr; },
                        [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
  Choose(Form1->AboutA1);
  closeAbout.Join();
  EXPECT_TRUE(closeAbout.Found());
  EXPECT_FALSE(IsWindowVisible(About->Handle()));
}

}  // namespace
