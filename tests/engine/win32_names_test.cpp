// Names and folder texts that the Win32 path parser would rewrite: every name is the file or
// folder it is, at any length and depth, and every folder text means what Windows makes of it.
// The odd names are made on the host (make-test-data), not through the code under test.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "engine_fixture.h"
#include "win32/path.h"
#include "win32/text.h"

namespace vemo::test {
namespace {

const char* const kOddFiles[] = {
    "NUL",  "nul.txt", "CON",      "con.c",  "PRN",     "AUX", "aux.h", "COM1",  "COM9", "com1.log",
    "LPT1", "LPT9",    "lpt1.txt", "CONIN$", "CONOUT$", "t ",  "u.",    " lead", "v. ."};
const char* const kPlainFiles[] = {"t", "u", "lead", "v"};
const char* const kOddFolders[] = {"sub.", "sub ", "COM2", "nul.d"};
const char* const kPlainFolders[] = {"sub"};

class Win32NamesTest : public EngineTest {
 protected:
  // A folder of the prepared data, as a Windows path.
  static std::string Prepared(const std::string& rel) {
    const char* base = std::getenv("VEMO_TEST_DATA");
    return base ? HostPath(std::string(base) + "/" + rel) : std::string();
  }
  void SetUp() override {
    if (!std::getenv("VEMO_TEST_DATA")) GTEST_SKIP() << "VEMO_TEST_DATA is not set";
  }
  // differ/: the odd names differ and their plain twins are equal; equal/: the other way round.
  // A name read as another would lose its own finding or gain its twin's.
  void ExpectEveryNameIsItself(const std::string& root) {
    const std::string one = root + "\\1", two = root + "\\2";
    auto differ = [&](const std::string& rel) {
      return one + "\\" + rel + " and " + two + "\\" + rel + " differ in contents.";
    };
    Lines expected;
    for (const char* name : kOddFiles) expected.push_back(differ(std::string("differ\\") + name));
    for (const char* name : kOddFolders)
      expected.push_back(differ(std::string("differ\\") + name + "\\f"));
    for (const char* name : kPlainFiles) expected.push_back(differ(std::string("equal\\") + name));
    for (const char* name : kPlainFolders)
      expected.push_back(differ(std::string("equal\\") + name + "\\f"));
    state.recursive = 1;
    ASSERT_TRUE(engine.Run(one, two));
    Lines lines = sink.lines;
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    const int64_t equalPairs = std::size(kOddFiles) + std::size(kOddFolders) +
                               std::size(kPlainFiles) + std::size(kPlainFolders);
    EXPECT_EQ(state.filesCompared, equalPairs);
    EXPECT_EQ(state.errorCount, static_cast<int64_t>(expected.size()));
  }
};

TEST_F(Win32NamesTest, DeviceNamesAndTrailingDotsAndSpacesAreTheFilesTheyAre) {
  ExpectEveryNameIsItself(Prepared("names/short"));
}

TEST_F(Win32NamesTest, TheSameNamesPast260Characters) {
  std::string root = Prepared("names/long");
  // The prepared chain of long folder names below "long".
  for (int level = 100; level <= 700; level += 100)
    root += "\\a-folder-name-of-some-length-" + std::to_string(level);
  ASSERT_GT(root.size(), 260u);
  ExpectEveryNameIsItself(root);
}

TEST_F(Win32NamesTest, AFolderTextNamingAFolderExactlyIsThatFolder) {
  // As the folder list or a drop gives it: "sub." is that folder, not "sub".
  const std::string one = Prepared("names/short/1/differ/sub."),
                    two = Prepared("names/short/2/differ/sub.");
  engine.CompareFolderPair(one, two);
  EXPECT_EQ(sink.lines, Lines{one + "\\f and " + two + "\\f differ in contents."});
  // A text naming nothing as written means what Windows makes of it: "equal." is "equal".
  sink.lines.clear();
  engine.CompareFolderPair(Prepared("names/short/1/equal."), Prepared("names/short/2/equal."));
  EXPECT_EQ(sink.lines.size(), std::size(kPlainFiles));
}

TEST_F(Win32NamesTest, ADeepTreeFarPastTheOldPathLimit) {
  const int kLevels = 300;
  std::string chain;
  for (int i = 0; i < kLevels; ++i) chain += "\\d";
  const std::string one = Prepared("deep/1"), two = Prepared("deep/2");
  state.recursive = 1;
  ASSERT_TRUE(engine.Run(one, two));
  EXPECT_EQ(sink.lines,
            Lines{one + chain + "\\differs and " + two + chain + "\\differs differ in contents."});
  EXPECT_EQ(state.filesCompared, 1);
  RecordProperty("levels", kLevels);
}

// Folder texts get their meaning once, at the top of the walk; the lines show them as typed.
class Win32FolderTextTest : public EngineTest {
 protected:
  void SetUp() override {
    GetCurrentDirectoryW(MAX_PATH, saved_);
    tree.File("1/a", "one");
    tree.File("2/a", "two");
    tree.File("1/only1", "");
  }
  void TearDown() override { SetCurrentDirectoryW(saved_); }
  wchar_t saved_[MAX_PATH] = L"";
};

TEST_F(Win32FolderTextTest, ARelativeTextCountsFromTheCurrentFolder) {
  ASSERT_TRUE(SetCurrentDirectoryW(ToWide(Path()).c_str()));
  engine.CompareFolderPair("1", "2");
  EXPECT_EQ(sink.lines, (Lines{"1\\a and 2\\a differ in contents.",
                               "1\\only1 does'nt exist in another folder."}));
  sink.lines.clear();
  ASSERT_TRUE(SetCurrentDirectoryW(ToWide(Path("1")).c_str()));
  engine.CompareFolderPair(".", "..\\2");
  EXPECT_EQ(sink.lines, (Lines{".\\a and ..\\2\\a differ in contents.",
                               ".\\only1 does'nt exist in another folder."}));
}

TEST_F(Win32FolderTextTest, ADriveAloneIsThatDrivesCurrentFolder) {
  const std::string folder1 = Path("1");
  ASSERT_EQ(folder1[1], ':');
  ASSERT_TRUE(SetCurrentDirectoryW(ToWide(folder1).c_str()));
  const std::string drive = folder1.substr(0, 2);  // "C:"
  engine.CompareFolderPair(drive, Path("2"));
  EXPECT_EQ(sink.lines, (Lines{drive + "a and " + Path("2/a") + " differ in contents.",
                               drive + "\\only1 does'nt exist in another folder."}));
}

TEST_F(Win32FolderTextTest, ARootIsListedAndJoinedWithoutASecondSeparator) {
  const std::string root = Path().substr(0, 3);  // "C:\"
  state.recursive = 1;
  engine.CompareFolderPair(root, Path("2"));
  // The run's own temporary tree lies on this drive: its top folder is a Folder 1 sub-folder
  // without counterpart, written as the message writes it, after the text as typed.
  const std::string top = Path().substr(3, Path().find('\\', 3) - 3);
  EXPECT_NE(std::find(sink.lines.begin(), sink.lines.end(),
                      root + "\\" + top + " does'nt exist in another folder."),
            sink.lines.end());
  EXPECT_EQ(std::count_if(sink.lines.begin(), sink.lines.end(),
                          [](const std::string& l) { return l.find("*.*") != std::string::npos; }),
            0);
}

TEST_F(Win32FolderTextTest, ADeviceOrAnUnreachableShareIsOneListingLineAndNeverHangs) {
  for (const char* text :
       {"NUL", "CON", "AUX", "COM1", "CONIN$", "\\\\.\\NUL", "\\\\no-such-server\\share"}) {
    sink.lines.clear();
    engine.CompareFolderPair(text, Path("2"));
    EXPECT_EQ(sink.lines, (Lines{std::string(text) + "\\*.* : No file found.",
                                 Path("2") + "\\a does'nt exist in another folder."}))
        << text;
  }
}

TEST(Win32Paths, TheLiteralFormOfEveryKindOfFullPath) {
  using win32::LiteralPath;
  EXPECT_EQ(LiteralPath(L"C:\\data\\NUL"), L"\\\\?\\C:\\data\\NUL");
  EXPECT_EQ(LiteralPath(L"C:\\"), L"\\\\?\\C:\\");
  EXPECT_EQ(LiteralPath(L"\\\\server\\share\\x."), L"\\\\?\\UNC\\server\\share\\x.");
  EXPECT_EQ(LiteralPath(L"\\\\?\\C:\\already"), L"\\\\?\\C:\\already");
  EXPECT_EQ(LiteralPath(L"\\\\.\\C:\\long way"), L"\\\\?\\C:\\long way");
  EXPECT_EQ(LiteralPath(L"\\\\.\\NUL"), L"");
  EXPECT_EQ(LiteralPath(L"\\\\.\\COM1"), L"");
  EXPECT_EQ(LiteralPath(L"relative"), L"");
}

TEST(Win32Paths, AFolderTextIsResolvedOnceAsWindowsResolvesIt) {
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  std::string here = ToUtf8(current);
  if (here.back() != '\\') here += '\\';
  EXPECT_EQ(win32::ResolveFolderText("sub"), "\\\\?\\" + here + "sub");
  // A last name that Windows would take for a device is the folder of that name.
  EXPECT_EQ(win32::ResolveFolderText("NUL"), "\\\\?\\" + here + "NUL");
  EXPECT_EQ(win32::ResolveFolderText("a\\..\\dev\\CON"), "\\\\?\\" + here + "dev\\CON");
  EXPECT_EQ(win32::ResolveFolderText("\\\\.\\NUL"), "");  // the device itself
  EXPECT_EQ(win32::ResolveFolderText(""), "");
  EXPECT_EQ(win32::ResolveFolderText("\\\\server\\share"), "\\\\?\\UNC\\server\\share");
}

}  // namespace
}  // namespace vemo::test
