// Folder pair comparison on real trees: walk order, matching, recursion, listing failures.
// Runs natively and, over the Win32 file system, under Wine.
#include "engine_fixture.h"

#include <chrono>
#include <cstdlib>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace vemo::test {
namespace {

TEST_F(EngineTest, WalksReportFolder2OrphansThenComparisonsThenFolder1Orphans) {
    tree.file("1/a.txt", "a");
    tree.file("1/b.txt", "same");
    tree.file("2/b.txt", "same");
    tree.file("2/c.txt", "c");
    EXPECT_EQ(compare("1", "2"), (Lines{noCounterpart("2", "c.txt"), noCounterpart("1", "a.txt")}));
    EXPECT_EQ(state.errorCount, 2);
    EXPECT_EQ(state.filesCompared, 1);
}

TEST_F(EngineTest, IgnoreNoFileLeavesOnlyTheComparisonFindings) {
    tree.file("1/a.txt", "a");
    tree.file("1/b.txt", "xyz");
    tree.file("2/b.txt", "xyZ");
    tree.file("2/c.txt", "c");
    tree.folder("2/onlyhere");
    state.ignoreNoFile = 1;
    state.recursive = 1;
    EXPECT_EQ(compare("1", "2"), (Lines{differ("1/b.txt", "2/b.txt")}));
}

TEST_F(EngineTest, ListOrderIsTheReverseOfEnumerationOrder) {
    for (const char* name : {"k1", "q2", "a3", "z4", "m5"}) tree.file(std::string("1/") + name, "x");
    tree.folder("2");
    Lines expected;
    std::vector<std::string> names = enumerated("1");
    for (auto it = names.rbegin(); it != names.rend(); ++it) expected.push_back(noCounterpart("1", *it));
    EXPECT_EQ(compare("1", "2"), expected);
}

TEST_F(EngineTest, DotNamesAreNeverListed) {
    tree.file("1/.hidden", "x");
    tree.folder("1/.git");
    tree.file("1/.git/config", "x");
    tree.folder("2");
    state.recursive = 1;
    EXPECT_EQ(compare("1", "2"), Lines{});
    EXPECT_EQ(state.folderTotal[0], 0);
}

TEST_F(EngineTest, CaseFoldingMatchesAsciiLettersOnlyAndPathsKeepEachSidesName) {
    tree.file("1/README.TXT", "one");
    tree.file("2/readme.txt", "two");
    EXPECT_EQ(compare("1", "2"), (Lines{noCounterpart("2", "readme.txt"), noCounterpart("1", "README.TXT")}));
    sink.lines.clear();
    state.ignoreCase = 1;
    EXPECT_EQ(compare("1", "2"), (Lines{differ("1/README.TXT", "2/readme.txt")}));
}

TEST_F(EngineTest, CaseFoldingDoesNotTouchNonAsciiLetters) {
    tree.file("1/\xC3\xA9t\xC3\xA9.txt", "x");  // été
    tree.file("2/\xC3\x89T\xC3\x89.TXT", "x");  // ÉTÉ
    state.ignoreCase = 1;
    EXPECT_EQ(compare("1", "2").size(), 2u);
}

TEST_F(EngineTest, AFileAndAFolderOfTheSameNameNeverMatch) {
    tree.file("1/x", "data");
    tree.folder("2/x");
    EXPECT_EQ(compare("1", "2"), Lines{noCounterpart("1", "x")});
    sink.lines.clear();
    state.recursive = 1;
    EXPECT_EQ(compare("1", "2"), (Lines{noCounterpart("1", "x"), noCounterpart("2", "x")}));
}

TEST_F(EngineTest, RecursionIsDepthFirstAtItsPlaceInWalk3) {
    tree.file("1/f", "1");
    tree.file("2/f", "2");
    tree.file("1/s/g", "1");
    tree.file("2/s/g", "2");
    tree.file("2/s/deep/h", "h");
    tree.file("1/s/deep/h", "h!");
    tree.folder("2/only2/inside");
    tree.file("2/only2/file", "x");
    tree.folder("1/only1");
    state.recursive = 1;
    Lines lines = compare("1", "2");
    Lines expected = {differ("1/f", "2/f")};
    // Walk 3 goes through Folder 2's sub-folders in list order: s and only2 in either order.
    std::vector<std::string> subs = enumerated("2");
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        if (*it == "s") {
            expected.push_back(differ("1/s/g", "2/s/g"));
            expected.push_back(longer("1/s/deep/h", "2/s/deep/h"));
        } else if (*it == "only2") {
            expected.push_back(noCounterpart("2", "only2"));
        }
    }
    expected.push_back(noCounterpart("1", "only1"));
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(state.filesCompared, 0);
}

TEST_F(EngineTest, NonRecursiveRunsVisitNothingBelowThePair) {
    tree.file("1/s/g", "1");
    tree.file("2/s/g", "2");
    tree.folder("2/only2");
    EXPECT_EQ(compare("1", "2"), Lines{});
}

TEST_F(EngineTest, AFolderPathEndingInTheSeparatorIsJoinedWithoutASecondOne) {
    tree.file("1/a", "a");
    tree.file("2/a", "b");
    tree.file("1/b", "b");
    const std::string folder1 = p("1") + fs->separator();
    engine.compareFolderPair(folder1, p("2"));
    // Paths are joined; the orphan line writes the folder as given, then the separator.
    EXPECT_EQ(sink.lines, (Lines{differ("1/a", "2/a"),
                                 folder1 + fs->separator() + "b does'nt exist in another folder."}));
}

TEST_F(EngineTest, EmptyFoldersGiveNoLineAndTheSameFolderTwiceComparesEveryFile) {
    tree.folder("1");
    tree.folder("2");
    EXPECT_EQ(compare("1", "2"), Lines{});
    tree.file("1/a", "aaaa");
    tree.file("1/s/b", std::string(30000, 'b'));
    tree.file("1/s/t/c", "");
    state.recursive = 1;
    EXPECT_EQ(compare("1", "1"), Lines{});
    EXPECT_EQ(state.filesCompared, 3);
}

TEST_F(EngineTest, AMissingFolderIsOneLineAndTheOtherSideIsAllOrphans) {
    tree.file("2/a", "a");
    EXPECT_EQ(compare("nope", "2"), (Lines{pattern("nope") + " : No file found.", noCounterpart("2", "a")}));
    EXPECT_EQ(state.errorCount, 2);
    EXPECT_EQ(state.folderTotal[0], 0);
}

TEST_F(EngineTest, AnEmptyFolderTextNamesNoFolder) {
    tree.file("2/a", "a");
    engine.compareFolderPair("", p("2"));
    EXPECT_EQ(sink.lines,
              (Lines{std::string(1, fs->separator()) + "*.* : No file found.", noCounterpart("2", "a")}));
}

TEST_F(EngineTest, AFileGivenAsAFolderCannotBeListed) {
    tree.file("1", "not a folder");
    tree.folder("2");
    EXPECT_EQ(compare("1", "2"), Lines{pattern("1") + " : No file found."});
}

TEST_F(EngineTest, ListingAddsSizeUnitsPerFileAndNothingForFolders) {
    tree.file("1/seven", std::string(7, 'x'));
    tree.file("1/eight", std::string(8, 'x'));
    tree.file("1/thousand", std::string(1000, 'x'));
    tree.file("1/sub/big", std::string(80000, 'x'));
    engine.compareFolderPair(p("1"), p("1"));
    EXPECT_EQ(state.folderTotal[0], 126);
    EXPECT_EQ(state.folderTotal[1], 126);
}

TEST_F(EngineTest, JapaneseLinesKeepTheLongerFileFirst) {
    state.language = 1;
    tree.file("1/a", "12345");
    tree.file("2/a", "123456");
    tree.file("1/b", "b");
    tree.file("1/c", "c");
    tree.file("2/c", "C");
    tree.file("1/e", "");
    tree.file("2/e", "");
    engine.compareFolderPair(p("1"), p("2"));
    std::sort(sink.lines.begin(), sink.lines.end() - 1);  // walk 1 in enumeration order
    EXPECT_EQ(sink.lines,
              (Lines{p("1/c") + " と " + p("2/c") + " は内容が一致しません。",
                     p("2/a") + " は " + p("1/a") + " より長いファイルです。",
                     p("1") + fs->separator() + "b は片側のフォルダにのみ存在します。"}));
}

TEST_F(EngineTest, NamesOutsideAnyCodePageMatchAndAreShownInUtf8) {
    const std::string names[] = {"日本語のファイル.txt", "Ελληνικά", "emoji-\xF0\x9F\x98\x80"};
    for (const std::string& name : names) {
        tree.file("1/" + name, name);
        tree.file("2/" + name, name + "!");
    }
    tree.file("2/only-ß", "");
    Lines lines = compare("1", "2");
    EXPECT_EQ(lines.size(), 4u);
    for (const std::string& name : names)
        EXPECT_NE(std::find(lines.begin(), lines.end(), longer("2/" + name, "1/" + name)), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), noCounterpart("2", "only-ß")), lines.end());
}

TEST_F(EngineTest, ALongPathIsComparedAndShownAsWritten) {
    std::string deep = "";
    while (deep.size() < 300) deep += "/a-rather-long-folder-name-" + std::to_string(deep.size());
    tree.file("1" + deep + "/same", "content");
    tree.file("2" + deep + "/same", "content");
    tree.file("2" + deep + "/diff", "1");
    tree.file("1" + deep + "/diff", "2");
    state.recursive = 1;
    EXPECT_EQ(compare("1", "2"), Lines{differ("1" + deep + "/diff", "2" + deep + "/diff")});
    EXPECT_EQ(state.filesCompared, 1);
    EXPECT_GT(p("1" + deep + "/diff").size(), 300u);
}

#ifndef _WIN32
TEST_F(EngineTest, AFolderThatCannotBeReadIsASearchErrorAndAFileThatCannotBeReadCannotBeOpened) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    tree.file("1/s/x", "x");
    tree.file("2/s/x", "x");
    tree.file("1/f", "f");
    tree.file("2/f", "f");
    std::filesystem::permissions(tree.fsPath("1/s"), std::filesystem::perms::none);
    std::filesystem::permissions(tree.fsPath("2/f"), std::filesystem::perms::none);
    state.recursive = 1;
    Lines lines = compare("1", "2");
    std::filesystem::permissions(tree.fsPath("1/s"), std::filesystem::perms::owner_all);
    std::filesystem::permissions(tree.fsPath("2/f"), std::filesystem::perms::owner_all);
    EXPECT_EQ(lines, (Lines{"Can't open : " + p("2/f"), pattern("1/s") + " : Directory searching error.",
                            noCounterpart("2/s", "x")}));
}
#endif

// A folder of 100,000 names. Wine creates files in a big folder slowly, so the Windows tree
// gets it from a set-up step (VEMO_TEST_DATA, a host path).
TEST_F(EngineTest, AHundredThousandNamesMatchQuickly) {
    const int n = 100000;
    std::string folder1, folder2;
    if (const char* prepared = std::getenv("VEMO_TEST_DATA")) {
        std::string base = hostPath(prepared) + fs->separator() + "many";
        folder1 = base + fs->separator() + "1";
        folder2 = base + fs->separator() + "2";
    } else {
#ifdef _WIN32
        GTEST_SKIP() << "VEMO_TEST_DATA is not set";
#endif
        folder1 = tree.folder("1");
        folder2 = tree.folder("2");
        for (int i = 0; i < n; ++i) tree.file("1/f" + std::to_string(i));
    }
    auto start = std::chrono::steady_clock::now();
    state.ignoreCase = 1;
    engine.compareFolderPair(folder1, folder1);  // every name found, every empty file compared
    EXPECT_EQ(sink.lines, Lines{});
    EXPECT_EQ(state.filesCompared, n);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    engine.compareFolderPair(folder1, folder2);
    ASSERT_EQ(sink.lines.size(), size_t(n));
    EXPECT_EQ(sink.lines[0].rfind(folder1 + fs->separator() + "f", 0), 0u);
}

}  // namespace
}  // namespace vemo::test
