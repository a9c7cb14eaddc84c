// The block loop of one file pair: findings, counts, and the progress figures it shows.
#include "engine_fixture.h"
#include "tests/support/test_file_system.h"

namespace vemo::test {
namespace {

class FileCompareTest : public EngineTest {
 protected:
  // Compares 1/f with 2/f holding these contents.
  Lines Pair(const std::string& first, const std::string& second) {
    tree.File("1/f", first);
    tree.File("2/f", second);
    return Compare("1", "2");
  }
};

TEST_F(FileCompareTest, EmptyFilesAreEqualAndAddNothing) {
  EXPECT_EQ(Pair("", ""), Lines{});
  EXPECT_EQ(state.filesCompared, 1);
  EXPECT_EQ(state.comparedSize, 0);
}

TEST_F(FileCompareTest, EqualFilesOfAMultipleOfTheBlockEndWithAnEmptyPass) {
  EXPECT_EQ(Pair(std::string(20480, 'q'), std::string(20480, 'q')), Lines{});
  EXPECT_EQ(state.filesCompared, 1);
  EXPECT_EQ(state.comparedSize, 2560);
  EXPECT_EQ(sink.Captions(Panel::Panel2).size(), 3u);  // blocks at 0, 10240 and 20480 bytes
}

TEST_F(FileCompareTest, TheLongerFileIsNamedFirst) {
  std::string block(10240, 'z');
  EXPECT_EQ(Pair(block, block + block), Lines{Longer("2/f", "1/f")});
  EXPECT_EQ(state.filesCompared, 0);
  sink.lines.clear();
  EXPECT_EQ(Pair(block + "x", block), Lines{Longer("1/f", "2/f")});
}

TEST_F(FileCompareTest, LengthComesBeforeContentsWithinTheLastBlock) {
  EXPECT_EQ(Pair("abcde", "abcdX!"), Lines{Longer("2/f", "1/f")});
}

TEST_F(FileCompareTest, AContentDifferenceInAnEarlierBlockIsADifference) {
  std::string a(30000, 'm'), b = a;
  b[100] = 'n';
  EXPECT_EQ(Pair(a, b + "longer"), Lines{Differ("1/f", "2/f")});
  EXPECT_EQ(state.comparedSize, 1280);
}

TEST_F(FileCompareTest, ADifferenceInTheLastByteReadsAllThreeBlocks) {
  std::string a(30000, 'm'), b = a;
  b.back() = 'n';
  EXPECT_EQ(Pair(a, b), Lines{Differ("1/f", "2/f")});
  EXPECT_EQ(state.comparedSize, 3750);
}

TEST_F(FileCompareTest, BlocksStayBlocksAcrossLongReads) {
  // Around 81,920 bytes, where the reader asks the file system for more data.
  const std::string eight(81920, 'e');
  EXPECT_EQ(Pair(eight, eight), Lines{});
  EXPECT_EQ(sink.Captions(Panel::Panel2).size(), 9u);
  EXPECT_EQ(state.comparedSize, 10240);
  sink.lines.clear();
  EXPECT_EQ(Pair(eight, eight + "!"), Lines{Longer("2/f", "1/f")});
  sink.lines.clear();
  std::string changed = eight + eight;
  changed[81920 + 5] = 'x';
  EXPECT_EQ(Pair(eight + eight, changed), Lines{Differ("1/f", "2/f")});
  sink.lines.clear();
  EXPECT_EQ(Pair(eight + "abc", eight + "abd"), Lines{Differ("1/f", "2/f")});
}

TEST_F(FileCompareTest, TheFirstProgressUpdateOfAFileShowsNothingRead) {
  tree.File("1/f", std::string(5000, 'a'));
  tree.File("2/f", std::string(5000, 'a'));
  Compare("1", "2");
  ASSERT_EQ(sink.bars.size(), 2u);
  EXPECT_EQ(sink.bars[0].bar, Bar::ProgressBar2);
  EXPECT_EQ(sink.bars[0].max, 1024);
  EXPECT_EQ(sink.bars[0].position, 1);
  EXPECT_EQ(sink.bars[1].bar, Bar::ProgressBar1);
  EXPECT_EQ(sink.bars[1].position, 1);
  EXPECT_EQ(sink.Captions(Panel::Panel2), Lines{"    0/    4KB"});
  EXPECT_EQ(sink.Captions(Panel::Panel3), Lines{"    0/    4KB"});  // T = 625 units
  EXPECT_EQ(sink.Captions(Panel::Panel1), Lines{Path("1/f")});
  EXPECT_EQ(state.titleText.Get(), "00% - Vemo");
}

TEST_F(FileCompareTest, RunFiguresUseTheSmallerListingTotalOrTheExpectedTotal) {
  std::string big(25000, 'a');
  tree.File("1/f", big);
  tree.File("2/f", big);
  tree.File("2/empty", "");
  tree.File("1/g", std::string(10000, 'a'));
  Compare("1", "2");  // T = min(4375, 3125) = 3125 units
  Lines expected = {"    0/   24KB", "   10/   24KB", "   20/   24KB"};
  EXPECT_EQ(sink.Captions(Panel::Panel3), expected);
  EXPECT_EQ(sink.bars[2].position, 1280 / (3125 / 1024 + 1) + 1);
  EXPECT_EQ(state.titleText.Get(), PercentTitle(2560 / 32));

  sink = MemorySink();
  state.recursive = 1;
  state.expectedTotal = 2000000;  // from a pre-scan: shown in MB
  state.comparedSize = 0;
  Compare("1", "2");
  EXPECT_EQ(sink.Captions(Panel::Panel3)[0], "    0/   15MB");
}

TEST_F(FileCompareTest, WithNoDataOnTheSecondSideTheRunBarRunsPastItsEnd) {
  tree.File("1/f", std::string(20480, 'a'));
  tree.File("2/f", "");
  Compare("1", "2");
  EXPECT_EQ(sink.lines, Lines{Longer("1/f", "2/f")});
  EXPECT_EQ(sink.Captions(Panel::Panel3), Lines{"    0/    0KB"});
  EXPECT_EQ(state.comparedSize, 1280);
}

// A Folder 1 file gone between the listings and its open: one "Can't open" line, for its path
// only (its counterpart is never opened).
TEST_F(FileCompareTest, AFileThatVanishesAfterTheListingIsOneCantOpenLineForTheFirstPathOnly) {
  tree.File("1/a", "x");
  tree.File("2/a", "x");
  tree.File("1/b", "y");
  tree.File("2/b", "y");
  testing::TestFileSystem vanishing(*fs);
  vanishing.onOpen = [&](const std::string&) {  // both folders are listed by then
    std::filesystem::remove(tree.FsPath("1/b"));
  };
  Engine engine(state, vanishing, sink);
  engine.CompareFolderPair(Path("1"), Path("2"));
  EXPECT_EQ(sink.lines, Lines{"Can't open : " + Path("1/b")});
  EXPECT_EQ(state.filesCompared, 1);
}

}  // namespace
}  // namespace vemo::test
