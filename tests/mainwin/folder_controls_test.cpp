// The drive box and the folder list as real controls in a real window under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/mainwin/spare_drive.h"
#include "tests/mainwin/temp_tree.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/drive_box.h"
#include "ui/toolkit/drives.h"
#include "ui/toolkit/folder_list.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/text.h"

using vemo::ui::DriveBox;
using vemo::ui::FolderList;
using vemo::ui::Layout;
using vemo::testing::TempTree;
using vemo::testing::UnreadyDrive;
namespace drives = vemo::ui::drives;

namespace {

// A form of the toolkit holding one folder list and one drive box, laid out as Folder 1's.
class HostForm : public vemo::ui::Form {
 public:
  HostForm() {
    CreateForm({"Host", "Folder controls", vemo::ui::BorderStyle::Single,
                vemo::ui::FormPosition::System, 632, 434, false, vemo::ui::MakeFont(12)});
    List.Create(*this, Layout{"DirectoryListBox1", 16, 64, 289, 249, "", {}, 1});
    Box.Create(*this, Layout{"DriveComboBox1", 16, 320, 289, 18, "", {}, 2});
    Other.Create(*this, Layout{"DirectoryListBox2", 328, 64, 289, 249, "", {}, 4});
  }
  FolderList List;
  DriveBox Box;
  FolderList Other;
};

HostForm& Host() {
  static HostForm* form = [] {
    vemo::ui::App().Initialize();
    auto* created = new HostForm;
    created->Show();
    return created;
  }();
  return *form;
}

class FolderControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list_.OnChange = [this] { ++list_changes_; };
    box_.OnChange = [this] { ++box_changes_; };
  }
  void TearDown() override {
    list_.OnChange = nullptr;
    box_.OnChange = nullptr;
  }

  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  int IndexOf(const std::string& path) {
    for (int i = 0; i < list_.EntryCount(); ++i)
      if (list_.EntryPath(i) == path) return i;
    return -1;
  }

  FolderList& list_ = Host().List;
  DriveBox& box_ = Host().Box;
  int list_changes_ = 0;
  int box_changes_ = 0;
};

TEST_F(FolderControlsTest, ListShowsTheChainThenTheSubFoldersIndented) {
  TempTree tree("list");
  tree.Folder("b");
  tree.Folder("a");
  tree.File("file.txt");
  list_.SetDirectory(tree.root());
  EXPECT_EQ(list_.Directory(), tree.root());
  std::vector<std::string> chain = drives::Chain(tree.root());
  ASSERT_EQ(list_.EntryCount(), static_cast<int>(chain.size()) + 2);
  for (size_t i = 0; i < chain.size(); ++i) {
    EXPECT_EQ(list_.EntryPath(static_cast<int>(i)), chain[i]);
    EXPECT_EQ(list_.EntryDepth(static_cast<int>(i)), static_cast<int>(i));
  }
  EXPECT_EQ(list_.EntryPath(static_cast<int>(chain.size())), tree.root() + "\\a");
  EXPECT_EQ(list_.EntryPath(static_cast<int>(chain.size()) + 1), tree.root() + "\\b");
  EXPECT_EQ(list_.EntryDepth(static_cast<int>(chain.size())), static_cast<int>(chain.size()));
  EXPECT_EQ(list_.SelectedEntry(), static_cast<int>(chain.size()) - 1);  // the current folder
  EXPECT_EQ(SendMessageW(list_.Handle(), LB_GETCOUNT, 0, 0), list_.EntryCount());
}

TEST_F(FolderControlsTest, ListRequestsNotifyOnlyWhenTheFolderChanges) {
  TempTree tree("notify");
  std::string sub = tree.Folder("Sub");
  std::string file = tree.File("Sub\\data.bin");
  list_.SetDirectory(tree.root());
  list_changes_ = 0;

  list_.SetDirectory(tree.root());  // what it shows already
  EXPECT_EQ(list_changes_, 0);
  std::string other_case = tree.root();
  for (char& c : other_case) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  list_.SetDirectory(other_case);
  EXPECT_EQ(list_changes_, 0);
  list_.SetDrive(static_cast<char>(tolower(tree.root()[0])));  // the drive it shows
  EXPECT_EQ(list_changes_, 0);
  EXPECT_EQ(list_.Directory(), tree.root());

  list_.SetDirectory(file);  // a file selects its folder
  EXPECT_EQ(list_changes_, 1);
  EXPECT_EQ(list_.Directory(), sub);
  list_.SetDirectory(file);
  EXPECT_EQ(list_changes_, 1);
}

TEST_F(FolderControlsTest, FailingRequestsThrowAndLeaveTheListAsItWas) {
  TempTree tree("fail");
  tree.Folder("keep");
  list_.SetDirectory(tree.root());
  int count = list_.EntryCount();
  list_changes_ = 0;
  EXPECT_THROW(list_.SetDirectory(tree.root() + "\\missing"), drives::FolderError);
  EXPECT_THROW(list_.SetDirectory("\\\\server\\share"), drives::FolderError);
  UnreadyDrive unready;
  EXPECT_THROW(list_.SetDrive(unready.letter()), drives::FolderError);
  EXPECT_THROW(list_.SetDirectory(unready.root()), drives::FolderError);
  EXPECT_EQ(list_changes_, 0);
  EXPECT_EQ(list_.Directory(), tree.root());
  EXPECT_EQ(list_.EntryCount(), count);
}

TEST_F(FolderControlsTest, ListReturnsToTheFolderLastShownOnADrive) {
  TempTree tree("perdrive");
  std::string deep = tree.Folder("deep");
  list_.SetDirectory(deep);
  list_.SetDrive('Z');
  EXPECT_EQ(list_.Drive(), 'Z');
  EXPECT_EQ(list_changes_, 2);
  list_.SetDrive(deep[0]);
  EXPECT_EQ(list_.Directory(), deep);
  // The drive's current folder is shared by every list of the program.
  FolderList& other = Host().Other;
  other.SetDrive('Z');
  other.SetDrive(deep[0]);
  EXPECT_EQ(other.Directory(), deep);
}

TEST_F(FolderControlsTest, DoubleClickAndEnterOpenTheSelectedEntry) {
  TempTree tree("open");
  std::string child = tree.Folder("child");
  list_.SetDirectory(tree.root());
  list_changes_ = 0;

  // Double click on the sub-folder's row.
  int index = IndexOf(child);
  ASSERT_GE(index, 0);
  SendMessageW(list_.Handle(), LB_SETTOPINDEX, index, 0);
  RECT row;
  SendMessageW(list_.Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
  LPARAM at = MAKELPARAM(row.left + 40, (row.top + row.bottom) / 2);
  SendMessageW(list_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list_.Handle(), WM_LBUTTONUP, 0, at);
  SendMessageW(list_.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(list_.Handle(), WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(list_.Directory(), child);
  EXPECT_EQ(list_changes_, 1);

  // Enter on the parent folder's row (one up in the chain).
  int parent = IndexOf(tree.root());
  ASSERT_GE(parent, 0);
  list_.SelectEntry(parent);
  EXPECT_EQ(SendMessageW(list_.Handle(), WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS,
            DLGC_WANTALLKEYS);
  SendMessageW(list_.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(list_.Directory(), tree.root());
  EXPECT_EQ(list_changes_, 2);

  // Moving the selection alone opens nothing.
  list_.SelectEntry(IndexOf(child));
  SendMessageW(list_.Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(list_changes_, 2);
}

TEST_F(FolderControlsTest, OpeningAVanishedEntryFailsAndShowsWhatIsThere) {
  TempTree tree("vanish");
  std::string child = tree.Folder("child");
  list_.SetDirectory(tree.root());
  RemoveDirectoryW(vemo::ui::Widen(child).c_str());
  EXPECT_THROW(list_.OpenEntry(IndexOf(child)), drives::FolderError);
  EXPECT_EQ(list_.Directory(), tree.root());
  EXPECT_EQ(IndexOf(child), -1);
}

TEST_F(FolderControlsTest, DriveBoxIsAsHighAsLaidOut) {
  RECT box;
  GetWindowRect(box_.Handle(), &box);
  EXPECT_EQ(box.bottom - box.top, 18);
  EXPECT_EQ(box_.Height(), 18);
  EXPECT_EQ(box.right - box.left, 289);
}

TEST_F(FolderControlsTest, DriveBoxListsDrivesAndNotifiesOnlyForAnotherLetter) {
  std::string letters = box_.Letters();
  EXPECT_NE(letters.find('C'), std::string::npos);
  EXPECT_NE(letters.find('Z'), std::string::npos);
  EXPECT_EQ(SendMessageW(box_.Handle(), CB_GETCOUNT, 0, 0), static_cast<LRESULT>(letters.size()));

  box_.SetDrive('C');
  box_changes_ = 0;
  box_.SetDrive('c');  // the letter it holds, in the other case
  EXPECT_EQ(box_changes_, 0);
  box_.SetDrive('z');
  EXPECT_EQ(box_changes_, 1);
  EXPECT_EQ(box_.Drive(), 'Z');
  EXPECT_EQ(SendMessageW(box_.Handle(), CB_GETCURSEL, 0, 0),
            static_cast<LRESULT>(box_.Letters().find('Z')));
  EXPECT_THROW(box_.SetDrive('\\'), drives::FolderError);
  EXPECT_EQ(box_.Drive(), 'Z');
  EXPECT_EQ(box_changes_, 1);
}

TEST_F(FolderControlsTest, DriveBoxHoldsADriveThatIsNotReady) {
  UnreadyDrive unready;
  box_.SetDrive(unready.letter());
  EXPECT_EQ(box_.Drive(), unready.letter());
  EXPECT_NE(box_.Letters().find(unready.letter()), std::string::npos);
  EXPECT_EQ(SendMessageW(box_.Handle(), CB_GETCURSEL, 0, 0),
            static_cast<LRESULT>(box_.Letters().find(unready.letter())));
}

TEST_F(FolderControlsTest, UserPicksInTheDriveBox) {
  box_.SetDrive('C');
  box_changes_ = 0;
  // The arrow key on the closed box moves to the next drive: one change per step.
  SetFocus(box_.Handle());
  SendMessageW(box_.Handle(), WM_KEYDOWN, VK_END, 0);
  Pump();
  EXPECT_EQ(box_.Drive(), box_.Letters().back());
  EXPECT_EQ(box_changes_, 1);
  // Picking the entry it holds changes nothing.
  box_.PickEntry(static_cast<int>(box_.Letters().find(box_.Drive())));
  EXPECT_EQ(box_changes_, 1);
  box_.PickEntry(static_cast<int>(box_.Letters().find('C')));
  EXPECT_EQ(box_.Drive(), 'C');
  EXPECT_EQ(box_changes_, 2);
}

}  // namespace
