// Drives and folders on Wine's real file system.
#include "ui/toolkit/drives.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>

#include <gtest/gtest.h>

#include "tests/mainwin/spare_drive.h"
#include "tests/support/hang_guard.h"
#include "tests/support/temp_tree.h"
#include "ui/toolkit/drives_seam.h"
#include "ui/toolkit/window_text.h"

namespace drives = vemo::ui::drives;
using vemo::ToWide;
using vemo::test::TempTree;

namespace {

TEST(Drives, LettersIncludeTheSystemAndTheUnixRoot) {
  std::string letters = drives::Letters();
  EXPECT_NE(letters.find('C'), std::string::npos) << letters;
  EXPECT_NE(letters.find('Z'), std::string::npos) << letters;
  EXPECT_TRUE(drives::IsReady('c'));
  EXPECT_EQ(drives::UpperLetter('q'), 'Q');
  EXPECT_EQ(drives::UpperLetter('\\'), 0);
}

TEST(Drives, ResolveGivesStoredCaseAndTheFolderOfAFile) {
  TempTree tree;
  std::string folder = tree.Folder("MixedCase");
  tree.Folder("MixedCase\\Inner");
  std::string file = tree.File("MixedCase\\note.txt");
  std::string typed = folder;
  for (char& c : typed) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(drives::ResolveFolder(typed), folder);
  EXPECT_EQ(drives::ResolveFolder(folder + "\\"), folder);
  EXPECT_EQ(drives::ResolveFolder(file), folder);
  EXPECT_EQ(drives::ResolveFolder(folder + "\\Inner\\.."), folder);
  EXPECT_EQ(drives::ResolveFolder("c:\\"), "C:\\");
  EXPECT_EQ(drives::ResolveFolder("c:/"), "C:\\");
}

TEST(Drives, ResolveRefusesMissingFoldersAndPathsWithoutDrive) {
  TempTree tree;
  EXPECT_THROW(drives::ResolveFolder(tree.Path() + "\\gone"), drives::FolderError);
  EXPECT_THROW(drives::ResolveFolder(tree.Path() + "\\gone\\deeper"), drives::FolderError);
  EXPECT_THROW(drives::ResolveFolder("\\\\server\\share"), drives::FolderError);
  EXPECT_THROW(drives::ResolveFolder("relative"), drives::FolderError);
  EXPECT_THROW(drives::ResolveFolder(""), drives::FolderError);
}

TEST(Drives, SubFoldersSortedWithoutCaseAndWithoutFiles) {
  TempTree tree;
  tree.Folder("beta");
  tree.Folder("Alpha");
  tree.Folder("gamma");
  tree.Folder("日本語");
  tree.File("afile.txt");
  EXPECT_EQ(drives::SubFolders(tree.Path()),
            (std::vector<std::string>{"Alpha", "beta", "gamma", "日本語"}));
  EXPECT_TRUE(drives::SubFolders(tree.Path() + "\\gone").empty());
}

TEST(Drives, CurrentFolderIsRememberedPerDriveAndFallsBackToTheRoot) {
  TempTree tree;
  std::string folder = tree.Folder("here");
  drives::RememberFolder(folder);
  EXPECT_EQ(drives::CurrentFolder(folder[0]), folder);
  EXPECT_EQ(drives::CurrentFolder(static_cast<char>(tolower(folder[0]))), folder);
  RemoveDirectoryW(ToWide(folder).c_str());
  EXPECT_EQ(drives::CurrentFolder(folder[0]), std::string(1, folder[0]) + ":\\");
  // A drive-relative path starts at the drive's current folder.
  std::string sub = tree.Folder("sub");
  drives::RememberFolder(tree.Path());
  EXPECT_EQ(drives::ResolveFolder(std::string(1, folder[0]) + ":sub"), sub);
}

TEST(Drives, ADriveThatIsNotReadyRefusesEveryRequest) {
  vemo::testing::UnreadyDrive drive;
  ASSERT_NE(drive.Letter(), 0);
  EXPECT_FALSE(drives::IsReady(drive.Letter()));
  EXPECT_THROW(drives::CurrentFolder(drive.Letter()), drives::FolderError);
  EXPECT_THROW(drives::ResolveFolder(drive.Root()), drives::FolderError);
  EXPECT_THROW(drives::ResolveFolder(drive.Root() + "sub"), drives::FolderError);
  try {
    drives::CurrentFolder(drive.Letter());
  } catch (const drives::FolderError& error) {
    EXPECT_EQ(std::string(error.what()), std::string("Drive ") + drive.Letter() + ": is not ready");
  }
}

// A drive other than a fixed one is asked through the probe, off the calling thread: one that
// has not answered within kReadyWaitMs counts as not ready, and while that question is still
// open it is not asked again. Fixed drives are read directly. The probe here holds its answer
// until the end, so a caller that waited for it would never return.
TEST(Drives, ADriveThatTakesSecondsIsNotReadyWithoutHoldingUpTheCaller) {
  vemo::testing::UnreadyDrive slow;  // no root folder: not a fixed drive
  ASSERT_NE(slow.Letter(), 0);
  vemo::testing::HeldProbe probe;
  EXPECT_FALSE(drives::IsReady(slow.Letter()));
  EXPECT_THROW(drives::CurrentFolder(slow.Letter()), drives::FolderError);
  EXPECT_TRUE(drives::IsReady('C'));
  EXPECT_EQ(probe.AskedInAll(1), 1);  // one question, however often the drive is asked for
  EXPECT_EQ(probe.Asked(slow.Letter()), 1);
}

TEST(Drives, ChainNamesAndJoin) {
  EXPECT_EQ(drives::Chain("C:\\"), (std::vector<std::string>{"C:\\"}));
  EXPECT_EQ(drives::Chain("C:\\a\\b"), (std::vector<std::string>{"C:\\", "C:\\a", "C:\\a\\b"}));
  EXPECT_EQ(drives::LastName("C:\\a\\b"), "b");
  EXPECT_EQ(drives::LastName("C:\\"), "C:\\");
  EXPECT_EQ(drives::Join("C:\\", "x"), "C:\\x");
  EXPECT_EQ(drives::Join("C:", "x"), "C:x");
  EXPECT_EQ(drives::Join("C:\\a", "x"), "C:\\a\\x");
  EXPECT_TRUE(drives::SamePath("c:\\Windows", "C:\\WINDOWS"));
  EXPECT_FALSE(drives::SamePath("C:\\a", "C:\\ab"));
}

}  // namespace

// A folder picked in the folder list or dropped comes back as its own name, even one that
// Windows' parsing would trim; a text naming nothing as written is resolved as Windows does.
TEST(Drives, ANameEndingInADotOrASpaceIsItselfWhereItExists) {
  TempTree tree;
  const std::string root = tree.Folder("names");
  for (const char* name : {"sub", "sub.", "sub ", "other"})
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + ToWide(root + "\\" + name)).c_str(), nullptr));
  EXPECT_EQ(drives::ResolveFolder(root + "\\sub."), root + "\\sub.");
  EXPECT_EQ(drives::ResolveFolder(root + "\\sub "), root + "\\sub ");
  EXPECT_EQ(drives::ResolveFolder(root + "\\sub"), root + "\\sub");
  EXPECT_EQ(drives::ResolveFolder(root + "\\other."), root + "\\other");
  EXPECT_EQ(drives::SubFolders(root), (std::vector<std::string>{"other", "sub", "sub ", "sub."}));
  for (const char* name : {"sub.", "sub "})
    RemoveDirectoryW((L"\\\\?\\" + ToWide(root + "\\" + name)).c_str());
}

namespace {

// The time by which the drives age their answers and questions, moved by the test alone.
struct StillClock {
  StillClock() {
    drives::SetDriveClock([this] { return now.load(); });
  }
  ~StillClock() { drives::SetDriveClock(nullptr); }
  void Advance(std::chrono::steady_clock::duration by) { now = now.load() + by; }
  std::atomic<std::chrono::steady_clock::time_point> now{std::chrono::steady_clock::now()};
};

using drives::Readiness;
using vemo::testing::HeldProbe;

// C: made as slow as a network drive: a drive that answered "ready" within the last minute is
// ready at once while it is asked again; then the new question decides.
TEST(DriveReadiness, ALateReadyAnswerCountsForAMinuteWhileTheDriveIsAskedAgain) {
  HeldProbe probe(std::string("LATE"), "C");
  StillClock clock;
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::Asking);
  probe.AnswerSoFar(std::string("LATE"));
  ASSERT_TRUE(drives::AwaitAnswers('C', 1, vemo::test::kHangGuard));
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::Ready);
  EXPECT_EQ(probe.AskedInAll(2), 2) << "asked again behind the answer";
  clock.Advance(drives::kReadyFor - std::chrono::seconds(1));
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::Ready);
  clock.Advance(std::chrono::seconds(1));  // a minute old, and the new question long unanswered
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::NotReady);
  EXPECT_EQ(probe.Asked('C'), 2);
}

TEST(DriveReadiness, NotReadyOnlyByTheLatestAnswerOrAfterTwoSecondsWithoutOne) {
  HeldProbe probe(std::nullopt, "C");
  StillClock clock;
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::Asking);
  clock.Advance(drives::kAnswerWithin - std::chrono::milliseconds(1));
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::Asking);
  clock.Advance(std::chrono::milliseconds(1));
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::NotReady);
  probe.AnswerSoFar(std::nullopt);
  ASSERT_TRUE(drives::AwaitAnswers('C', 1, vemo::test::kHangGuard));
  // Asked again, and held: the latest answer says "not ready".
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::NotReady);
  EXPECT_EQ(probe.AskedInAll(2), 2);
  probe.AnswerSoFar(std::string("BACK"));
  ASSERT_TRUE(drives::AwaitAnswers('C', 2, vemo::test::kHangGuard));
  EXPECT_EQ(drives::DriveReadiness('C'), Readiness::Ready);
  EXPECT_EQ(drives::KnownLabel('C'), "BACK");
}

}  // namespace
