// The drive box and the folder list as real controls in a real window under Wine.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "tests/mainwin/spare_drive.h"
#include "tests/support/hang_guard.h"
#include "tests/support/settle.h"
#include "tests/support/temp_tree.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/drive_box.h"
#include "ui/toolkit/drives.h"
#include "ui/toolkit/drives_seam.h"
#include "ui/toolkit/folder_list.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/sub_folder_listing.h"
#include "ui/toolkit/window_text.h"

using vemo::test::TempTree;
using vemo::testing::UnreadyDrive;
using vemo::ui::DriveBox;
using vemo::ui::FolderList;
using vemo::ui::Layout;
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
    list.OnChange = [this] { ++listChanges; };
    box.OnChange = [this] { ++boxChanges; };
  }
  void TearDown() override {
    list.OnChange = nullptr;
    box.OnChange = nullptr;
  }

  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // Once the current folder's sub-folders are listed.
  void Listed() {
    vemo::test::PumpUntil([this] { return !list.Listing(); }, "the sub-folders listed");
  }
  int IndexOf(const std::string& path) {
    Listed();
    for (int i = 0; i < list.EntryCount(); ++i)
      if (list.EntryPath(i) == path) return i;
    return -1;
  }

  FolderList& list = Host().List;
  DriveBox& box = Host().Box;
  int listChanges = 0;
  int boxChanges = 0;
};

TEST_F(FolderControlsTest, ListShowsTheChainThenTheSubFoldersIndented) {
  TempTree tree("list");
  tree.Folder("b");
  tree.Folder("a");
  tree.File("file.txt");
  list.SetDirectory(tree.Path());
  Listed();
  EXPECT_EQ(list.Directory(), tree.Path());
  std::vector<std::string> chain = drives::Chain(tree.Path());
  ASSERT_EQ(list.EntryCount(), static_cast<int>(chain.size()) + 2);
  for (size_t i = 0; i < chain.size(); ++i) {
    EXPECT_EQ(list.EntryPath(static_cast<int>(i)), chain[i]);
    EXPECT_EQ(list.EntryDepth(static_cast<int>(i)), static_cast<int>(i));
  }
  EXPECT_EQ(list.EntryPath(static_cast<int>(chain.size())), tree.Path() + "\\a");
  EXPECT_EQ(list.EntryPath(static_cast<int>(chain.size()) + 1), tree.Path() + "\\b");
  EXPECT_EQ(list.EntryDepth(static_cast<int>(chain.size())), static_cast<int>(chain.size()));
  EXPECT_EQ(list.SelectedEntry(), static_cast<int>(chain.size()) - 1);  // the current folder
  EXPECT_EQ(SendMessageW(list.Handle(), LB_GETCOUNT, 0, 0), list.EntryCount());
}

// Sub-folders that take long to list (a folder of a million files): the list moves and
// notifies at once showing the chain, and answers; the sub-folders follow in their order, the
// user's selection meanwhile kept; a listing overtaken by another move never lands.
TEST_F(FolderControlsTest, ABigFolderShowsItsChainAtOnceAndItsSubFoldersWhenListed) {
  TempTree tree("big");
  const std::string first = tree.Folder("first"), second = tree.Folder("second");
  struct SlowSource {  // holds every listing until released (the listings may outlive it)
    SlowSource() {
      vemo::ui::SetSubFolderSource([release = release, listed = listed](const std::string& folder,
                                                                        const std::atomic<bool>&) {
        WaitForSingleObject(release.get(), vemo::test::kHangGuardMs);
        ++*listed;
        return std::vector<std::string>{drives::LastName(folder) + "-a",
                                        drives::LastName(folder) + "-b"};
      });
    }
    ~SlowSource() {
      vemo::ui::SetSubFolderSource(nullptr);
      SetEvent(release.get());
    }
    std::shared_ptr<void> release{CreateEventW(nullptr, TRUE, FALSE, nullptr), CloseHandle};
    std::shared_ptr<std::atomic<int>> listed = std::make_shared<std::atomic<int>>(0);
  } slow;
  listChanges = 0;
  list.SetDirectory(first);
  vemo::test::Settle();  // its listing under way
  list.SetDirectory(second);
  vemo::test::Settle();
  EXPECT_EQ(listChanges, 2);
  const std::vector<std::string> chain = drives::Chain(second);
  const int current = static_cast<int>(chain.size()) - 1;
  EXPECT_TRUE(list.Listing());
  EXPECT_EQ(list.EntryCount(), current + 1);
  EXPECT_EQ(list.SelectedEntry(), current);
  list.SelectEntry(current - 1);

  SetEvent(slow.release.get());
  Listed();
  ASSERT_EQ(list.EntryCount(), current + 3);
  EXPECT_EQ(list.EntryPath(current + 1), second + "\\second-a");
  EXPECT_EQ(list.EntryPath(current + 2), second + "\\second-b");
  EXPECT_EQ(list.EntryDepth(current + 1), current + 1);
  EXPECT_EQ(list.SelectedEntry(), current - 1);
  EXPECT_EQ(SendMessageW(list.Handle(), LB_GETCOUNT, 0, 0), list.EntryCount());
  vemo::test::PumpUntil([&slow] { return *slow.listed == 2; }, "both listings done");
  vemo::test::Settle();  // the overtaken listing's hand-off, had it one
  EXPECT_EQ(list.EntryCount(), current + 3);
}

TEST_F(FolderControlsTest, ListRequestsNotifyOnlyWhenTheFolderChanges) {
  TempTree tree("notify");
  std::string sub = tree.Folder("Sub");
  std::string file = tree.File("Sub\\data.bin");
  list.SetDirectory(tree.Path());
  listChanges = 0;

  list.SetDirectory(tree.Path());  // what it shows already
  EXPECT_EQ(listChanges, 0);
  std::string otherCase = tree.Path();
  for (char& c : otherCase) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  list.SetDirectory(otherCase);
  EXPECT_EQ(listChanges, 0);
  list.SetDrive(static_cast<char>(tolower(tree.Path()[0])));  // the drive it shows
  EXPECT_EQ(listChanges, 0);
  EXPECT_EQ(list.Directory(), tree.Path());

  list.SetDirectory(file);  // a file selects its folder
  EXPECT_EQ(listChanges, 1);
  EXPECT_EQ(list.Directory(), sub);
  list.SetDirectory(file);
  EXPECT_EQ(listChanges, 1);
}

TEST_F(FolderControlsTest, FailingRequestsThrowAndLeaveTheListAsItWas) {
  TempTree tree("fail");
  tree.Folder("keep");
  list.SetDirectory(tree.Path());
  Listed();
  int count = list.EntryCount();
  listChanges = 0;
  EXPECT_THROW(list.SetDirectory(tree.Path() + "\\missing"), drives::FolderError);
  EXPECT_THROW(list.SetDirectory("\\\\server\\share"), drives::FolderError);
  UnreadyDrive unready;
  EXPECT_THROW(list.SetDrive(unready.Letter()), drives::FolderError);
  EXPECT_THROW(list.SetDirectory(unready.Root()), drives::FolderError);
  EXPECT_EQ(listChanges, 0);
  EXPECT_EQ(list.Directory(), tree.Path());
  EXPECT_EQ(list.EntryCount(), count);
}

TEST_F(FolderControlsTest, ListReturnsToTheFolderLastShownOnADrive) {
  TempTree tree("perdrive");
  std::string deep = tree.Folder("deep");
  list.SetDirectory(deep);
  list.SetDrive('Z');
  EXPECT_EQ(list.Drive(), 'Z');
  EXPECT_EQ(listChanges, 2);
  list.SetDrive(deep[0]);
  EXPECT_EQ(list.Directory(), deep);
  // The drive's current folder is shared by every list of the program.
  FolderList& other = Host().Other;
  other.SetDrive('Z');
  other.SetDrive(deep[0]);
  EXPECT_EQ(other.Directory(), deep);
}

TEST_F(FolderControlsTest, DoubleClickAndEnterOpenTheSelectedEntry) {
  TempTree tree("open");
  std::string child = tree.Folder("child");
  list.SetDirectory(tree.Path());
  listChanges = 0;

  // Double click on the sub-folder's row.
  int index = IndexOf(child);
  ASSERT_GE(index, 0);
  SendMessageW(list.Handle(), LB_SETTOPINDEX, index, 0);
  RECT row;
  SendMessageW(list.Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
  LPARAM at = MAKELPARAM(row.left + 40, (row.top + row.bottom) / 2);
  SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list.Handle(), WM_LBUTTONUP, 0, at);
  SendMessageW(list.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(list.Handle(), WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(list.Directory(), child);
  EXPECT_EQ(listChanges, 1);

  // Enter on the parent folder's row (one up in the chain).
  int parent = IndexOf(tree.Path());
  ASSERT_GE(parent, 0);
  list.SelectEntry(parent);
  EXPECT_EQ(SendMessageW(list.Handle(), WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS,
            DLGC_WANTALLKEYS);
  SendMessageW(list.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(list.Directory(), tree.Path());
  EXPECT_EQ(listChanges, 2);

  // Moving the selection alone opens nothing.
  list.SelectEntry(IndexOf(child));
  SendMessageW(list.Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(listChanges, 2);
}

TEST_F(FolderControlsTest, OpeningAVanishedEntryFailsAndShowsWhatIsThere) {
  TempTree tree("vanish");
  std::string child = tree.Folder("child");
  list.SetDirectory(tree.Path());
  Listed();
  RemoveDirectoryW(vemo::ToWide(child).c_str());
  EXPECT_THROW(list.OpenEntry(IndexOf(child)), drives::FolderError);
  EXPECT_EQ(list.Directory(), tree.Path());
  EXPECT_EQ(IndexOf(child), -1);
}

TEST_F(FolderControlsTest, DriveBoxIsAsHighAsLaidOut) {
  RECT outer;
  GetWindowRect(box.Handle(), &outer);
  EXPECT_EQ(outer.bottom - outer.top, 18);
  EXPECT_EQ(box.Height(), 18);
  EXPECT_EQ(outer.right - outer.left, 289);
}

TEST_F(FolderControlsTest, DriveBoxListsDrivesAndNotifiesOnlyForAnotherLetter) {
  std::string letters = box.Letters();
  EXPECT_NE(letters.find('C'), std::string::npos);
  EXPECT_NE(letters.find('Z'), std::string::npos);
  EXPECT_EQ(SendMessageW(box.Handle(), CB_GETCOUNT, 0, 0), static_cast<LRESULT>(letters.size()));

  box.SetDrive('C');
  boxChanges = 0;
  box.SetDrive('c');  // the letter it holds, in the other case
  EXPECT_EQ(boxChanges, 0);
  box.SetDrive('z');
  EXPECT_EQ(boxChanges, 1);
  EXPECT_EQ(box.Drive(), 'Z');
  EXPECT_EQ(SendMessageW(box.Handle(), CB_GETCURSEL, 0, 0),
            static_cast<LRESULT>(box.Letters().find('Z')));
  EXPECT_THROW(box.SetDrive('\\'), drives::FolderError);
  EXPECT_EQ(box.Drive(), 'Z');
  EXPECT_EQ(boxChanges, 1);
}

TEST_F(FolderControlsTest, DriveBoxHoldsADriveThatIsNotReady) {
  UnreadyDrive unready;
  box.SetDrive(unready.Letter());
  EXPECT_EQ(box.Drive(), unready.Letter());
  EXPECT_NE(box.Letters().find(unready.Letter()), std::string::npos);
  EXPECT_EQ(SendMessageW(box.Handle(), CB_GETCURSEL, 0, 0),
            static_cast<LRESULT>(box.Letters().find(unready.Letter())));
}

TEST_F(FolderControlsTest, UserPicksInTheDriveBox) {
  box.SetDrive('C');
  boxChanges = 0;
  // The arrow key on the closed box moves to the next drive: one change per step.
  SetFocus(box.Handle());
  SendMessageW(box.Handle(), WM_KEYDOWN, VK_END, 0);
  Pump();
  EXPECT_EQ(box.Drive(), box.Letters().back());
  EXPECT_EQ(boxChanges, 1);
  // Picking the entry it holds changes nothing.
  box.PickEntry(static_cast<int>(box.Letters().find(box.Drive())));
  EXPECT_EQ(boxChanges, 1);
  box.PickEntry(static_cast<int>(box.Letters().find('C')));
  EXPECT_EQ(box.Drive(), 'C');
  EXPECT_EQ(boxChanges, 2);
}

// The drive box asks volume labels through the drive probe, off the user-interface thread,
// and shows them when they come.
TEST_F(FolderControlsTest, DriveBoxShowsTheLabelsTheProbeReports) {
  drives::ResetDriveProbe(vemo::test::kHangGuard);
  drives::SetDriveProbe([](char letter) -> std::optional<std::string> {
    if (letter == 'C') return std::string("SYSTEM DISK");
    return std::nullopt;  // not ready
  });
  box.SetDrive('C');
  SendMessageW(box.Handle(), CB_SHOWDROPDOWN, TRUE, 0);  // the list is read afresh
  SendMessageW(box.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  drives::JoinQuestions(
      vemo::test::kHangGuard);  // every answer is in: they reach the box through its queue
  vemo::test::Settle();
  drives::ResetDriveProbe(vemo::test::kHangGuard);
  EXPECT_EQ(box.Label('C'), "SYSTEM DISK");
  EXPECT_EQ(box.Label('Z'), "");
}

// A drive whose volume takes long to answer (an empty card reader, a lost network drive) holds
// up neither the filling of the list nor its dropping down: both return while every question
// is still held (a window that waited for the drive would never return here).
TEST_F(FolderControlsTest, ADriveThatTakesSecondsNeverHoldsUpTheWindow) {
  vemo::testing::HeldProbe probe;
  box.SetDrive(box.Drive() == 'Z' ? 'C' : 'Z');  // fills the list as at start-up
  SendMessageW(box.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  SendMessageW(box.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
  EXPECT_GT(probe.AskedInAll(1), 0);
  EXPECT_EQ(box.Label(box.Drive()), "");  // still asked for
}

}  // namespace
