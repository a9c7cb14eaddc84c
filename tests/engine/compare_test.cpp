// Folder pair comparison on real trees: walk order, matching, recursion, listing failures.
// Runs natively and, over the Win32 file system, under Wine.
#include <chrono>
#include <cstdlib>

#include "engine_fixture.h"
#ifndef _WIN32
#include "tests/support/ordinary_user.h"
#endif

namespace vemo::test {
namespace {

TEST_F(EngineTest, WalksReportFolder2OrphansThenComparisonsThenFolder1Orphans) {
  tree.File("1/a.txt", "a");
  tree.File("1/b.txt", "same");
  tree.File("2/b.txt", "same");
  tree.File("2/c.txt", "c");
  EXPECT_EQ(Compare("1", "2"), (Lines{NoCounterpart("2", "c.txt"), NoCounterpart("1", "a.txt")}));
  EXPECT_EQ(state.errorCount, 2);
  EXPECT_EQ(state.filesCompared, 1);
}

TEST_F(EngineTest, IgnoreNoFileLeavesOnlyTheComparisonFindings) {
  tree.File("1/a.txt", "a");
  tree.File("1/b.txt", "xyz");
  tree.File("2/b.txt", "xyZ");
  tree.File("2/c.txt", "c");
  tree.Folder("2/onlyhere");
  state.ignoreNoFile = 1;
  state.recursive = 1;
  EXPECT_EQ(Compare("1", "2"), (Lines{Differ("1/b.txt", "2/b.txt")}));
}

TEST_F(EngineTest, ListOrderIsTheReverseOfEnumerationOrder) {
  for (const char* name : {"k1", "q2", "a3", "z4", "m5"}) tree.File(std::string("1/") + name, "x");
  tree.Folder("2");
  Lines expected;
  std::vector<std::string> names = Enumerated("1");
  for (auto it = names.rbegin(); it != names.rend(); ++it)
    expected.push_back(NoCounterpart("1", *it));
  EXPECT_EQ(Compare("1", "2"), expected);
}

TEST_F(EngineTest, DotNamesAreNeverListed) {
  tree.File("1/.hidden", "x");
  tree.Folder("1/.git");
  tree.File("1/.git/config", "x");
  tree.Folder("2");
  state.recursive = 1;
  EXPECT_EQ(Compare("1", "2"), Lines{});
  EXPECT_EQ(state.folderTotal[0], 0);
}

TEST_F(EngineTest, CaseFoldingMatchesAsciiLettersOnlyAndPathsKeepEachSidesName) {
  tree.File("1/README.TXT", "one");
  tree.File("2/readme.txt", "two");
  EXPECT_EQ(Compare("1", "2"),
            (Lines{NoCounterpart("2", "readme.txt"), NoCounterpart("1", "README.TXT")}));
  sink.lines.clear();
  state.ignoreCase = 1;
  EXPECT_EQ(Compare("1", "2"), (Lines{Differ("1/README.TXT", "2/readme.txt")}));
}

TEST_F(EngineTest, CaseFoldingDoesNotTouchNonAsciiLetters) {
  tree.File("1/\xC3\xA9t\xC3\xA9.txt", "x");  // été
  tree.File("2/\xC3\x89T\xC3\x89.TXT", "x");  // ÉTÉ
  state.ignoreCase = 1;
  EXPECT_EQ(Compare("1", "2").size(), 2u);
}

TEST_F(EngineTest, AFileAndAFolderOfTheSameNameNeverMatch) {
  tree.File("1/x", "data");
  tree.Folder("2/x");
  EXPECT_EQ(Compare("1", "2"), Lines{NoCounterpart("1", "x")});
  sink.lines.clear();
  state.recursive = 1;
  EXPECT_EQ(Compare("1", "2"), (Lines{NoCounterpart("1", "x"), NoCounterpart("2", "x")}));
}

TEST_F(EngineTest, RecursionIsDepthFirstAtItsPlaceInWalk3) {
  tree.File("1/f", "1");
  tree.File("2/f", "2");
  tree.File("1/s/g", "1");
  tree.File("2/s/g", "2");
  tree.File("2/s/deep/h", "h");
  tree.File("1/s/deep/h", "h!");
  tree.Folder("2/only2/inside");
  tree.File("2/only2/file", "x");
  tree.Folder("1/only1");
  state.recursive = 1;
  Lines lines = Compare("1", "2");
  Lines expected = {Differ("1/f", "2/f")};
  // Walk 3 goes through Folder 2's sub-folders in list order: s and only2 in either order.
  std::vector<std::string> subs = Enumerated("2");
  for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
    if (*it == "s") {
      expected.push_back(Differ("1/s/g", "2/s/g"));
      expected.push_back(Longer("1/s/deep/h", "2/s/deep/h"));
    } else if (*it == "only2") {
      expected.push_back(NoCounterpart("2", "only2"));
    }
  }
  expected.push_back(NoCounterpart("1", "only1"));
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(state.filesCompared, 0);
}

TEST_F(EngineTest, NonRecursiveRunsVisitNothingBelowThePair) {
  tree.File("1/s/g", "1");
  tree.File("2/s/g", "2");
  tree.Folder("2/only2");
  EXPECT_EQ(Compare("1", "2"), Lines{});
}

TEST_F(EngineTest, AFolderPathEndingInTheSeparatorIsJoinedWithoutASecondOne) {
  tree.File("1/a", "a");
  tree.File("2/a", "b");
  tree.File("1/b", "b");
  const std::string folder1 = Path("1") + fs->Separator();
  engine.CompareFolderPair(folder1, Path("2"));
  // Paths are joined; the orphan line writes the folder as given, then the separator.
  EXPECT_EQ(sink.lines, (Lines{Differ("1/a", "2/a"),
                               folder1 + fs->Separator() + "b does'nt exist in another folder."}));
}

TEST_F(EngineTest, EmptyFoldersGiveNoLineAndTheSameFolderTwiceComparesEveryFile) {
  tree.Folder("1");
  tree.Folder("2");
  EXPECT_EQ(Compare("1", "2"), Lines{});
  tree.File("1/a", "aaaa");
  tree.File("1/s/b", std::string(30000, 'b'));
  tree.File("1/s/t/c", "");
  state.recursive = 1;
  EXPECT_EQ(Compare("1", "1"), Lines{});
  EXPECT_EQ(state.filesCompared, 3);
}

TEST_F(EngineTest, AMissingFolderIsOneLineAndTheOtherSideIsAllOrphans) {
  tree.File("2/a", "a");
  EXPECT_EQ(Compare("nope", "2"),
            (Lines{Pattern("nope") + " : No file found.", NoCounterpart("2", "a")}));
  EXPECT_EQ(state.errorCount, 2);
  EXPECT_EQ(state.folderTotal[0], 0);
}

TEST_F(EngineTest, AnEmptyFolderTextNamesNoFolder) {
  tree.File("2/a", "a");
  engine.CompareFolderPair("", Path("2"));
  EXPECT_EQ(sink.lines, (Lines{std::string(1, fs->Separator()) + "*.* : No file found.",
                               NoCounterpart("2", "a")}));
}

TEST_F(EngineTest, AFileGivenAsAFolderCannotBeListed) {
  tree.File("1", "not a folder");
  tree.Folder("2");
  EXPECT_EQ(Compare("1", "2"), Lines{Pattern("1") + " : No file found."});
}

TEST_F(EngineTest, ListingAddsSizeUnitsPerFileAndNothingForFolders) {
  tree.File("1/seven", std::string(7, 'x'));
  tree.File("1/eight", std::string(8, 'x'));
  tree.File("1/thousand", std::string(1000, 'x'));
  tree.File("1/sub/big", std::string(80000, 'x'));
  engine.CompareFolderPair(Path("1"), Path("1"));
  EXPECT_EQ(state.folderTotal[0], 126);
  EXPECT_EQ(state.folderTotal[1], 126);
}

TEST_F(EngineTest, JapaneseLinesKeepTheLongerFileFirst) {
  state.language = 1;
  tree.File("1/a", "12345");
  tree.File("2/a", "123456");
  tree.File("1/b", "b");
  tree.File("1/c", "c");
  tree.File("2/c", "C");
  tree.File("1/e", "");
  tree.File("2/e", "");
  engine.CompareFolderPair(Path("1"), Path("2"));
  std::sort(sink.lines.begin(), sink.lines.end() - 1);  // walk 1 in enumeration order
  EXPECT_EQ(sink.lines,
            (Lines{Path("1/c") + " と " + Path("2/c") + " は内容が一致しません。",
                   Path("2/a") + " は " + Path("1/a") + " より長いファイルです。",
                   Path("1") + fs->Separator() + "b は片側のフォルダにのみ存在します。"}));
}

TEST_F(EngineTest, NamesOutsideAnyCodePageMatchAndAreShownInUtf8) {
  const std::string names[] = {"日本語のファイル.txt", "Ελληνικά", "emoji-\xF0\x9F\x98\x80"};
  for (const std::string& name : names) {
    tree.File("1/" + name, name);
    tree.File("2/" + name, name + "!");
  }
  tree.File("2/only-ß", "");
  Lines lines = Compare("1", "2");
  EXPECT_EQ(lines.size(), 4u);
  for (const std::string& name : names)
    EXPECT_NE(std::find(lines.begin(), lines.end(), Longer("2/" + name, "1/" + name)), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), NoCounterpart("2", "only-ß")), lines.end());
}

TEST_F(EngineTest, ALongPathIsComparedAndShownAsWritten) {
  std::string deep = "";
  while (deep.size() < 300) deep += "/a-rather-long-folder-name-" + std::to_string(deep.size());
  tree.File("1" + deep + "/same", "content");
  tree.File("2" + deep + "/same", "content");
  tree.File("2" + deep + "/diff", "1");
  tree.File("1" + deep + "/diff", "2");
  state.recursive = 1;
  EXPECT_EQ(Compare("1", "2"), Lines{Differ("1" + deep + "/diff", "2" + deep + "/diff")});
  EXPECT_EQ(state.filesCompared, 1);
  EXPECT_GT(Path("1" + deep + "/diff").size(), 300u);
}

#ifndef _WIN32
TEST_F(EngineTest, AFolderThatCannotBeReadIsASearchErrorAndAFileThatCannotBeReadCannotBeOpened) {
  tree.File("1/s/x", "x");
  tree.File("2/s/x", "x");
  tree.File("1/f", "f");
  tree.File("2/f", "f");
  std::filesystem::permissions(tree.FsPath("1/s"), std::filesystem::perms::none);
  std::filesystem::permissions(tree.FsPath("2/f"), std::filesystem::perms::none);
  state.recursive = 1;
  Lines lines = AsOrdinaryUser(tree.Path(), [&] { return Compare("1", "2"); });
  std::filesystem::permissions(tree.FsPath("1/s"), std::filesystem::perms::owner_all);
  std::filesystem::permissions(tree.FsPath("2/f"), std::filesystem::perms::owner_all);
  EXPECT_EQ(lines,
            (Lines{"Can't open : " + Path("2/f"), Pattern("1/s") + " : Directory searching error.",
                   NoCounterpart("2/s", "x")}));
}
#endif

// A folder of 100,000 names. Wine creates files in a big folder slowly, so the Windows tree
// gets it from a set-up step (VEMO_TEST_DATA, a host path).
TEST_F(EngineTest, AHundredThousandNamesMatchQuickly) {
  const int n = 100000;
  std::string folder1, folder2;
  if (const char* prepared = std::getenv("VEMO_TEST_DATA")) {
    std::string base = HostPath(prepared) + fs->Separator() + "many";
    folder1 = base + fs->Separator() + "1";
    folder2 = base + fs->Separator() + "2";
  } else {
#ifdef _WIN32
    GTEST_SKIP() << "VEMO_TEST_DATA is not set";
#endif
    folder1 = tree.Folder("1");
    folder2 = tree.Folder("2");
    for (int i = 0; i < n; ++i) tree.File("1/f" + std::to_string(i));
  }
  auto start = std::chrono::steady_clock::now();
  state.ignoreCase = 1;
  engine.CompareFolderPair(folder1, folder1);  // every name found, every empty file compared
  EXPECT_EQ(sink.lines, Lines{});
  EXPECT_EQ(state.filesCompared, n);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  RecordProperty("seconds", std::to_string(seconds));
  engine.CompareFolderPair(folder1, folder2);
  ASSERT_EQ(sink.lines.size(), size_t(n));
  EXPECT_EQ(sink.lines[0].rfind(folder1 + fs->Separator() + "f", 0), 0u);
}

}  // namespace
}  // namespace vemo::test
