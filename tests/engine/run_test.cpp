// The pre-scan, the run sequence around it, stops at every poll point, and the loop guard.
#include <chrono>
#include <thread>

#include "engine_fixture.h"
#include "tests/support/hang_guard.h"

namespace vemo::test {
namespace {

TEST_F(EngineTest, PreScanMeasuresOnlyFoldersWhoseWholeChainExistsOnBothSides) {
  tree.File("1/a", std::string(16, 'x'));
  tree.File("1/S/b", std::string(800, 'x'));
  tree.File("2/a", std::string(8, 'x'));
  tree.File("2/S/b", std::string(8000, 'x'));
  tree.File("1/S/T/U/deep", std::string(80, 'x'));
  tree.File("2/S/T/U/other", std::string(88, 'x'));
  tree.File("1/only1/big", std::string(100000, 'x'));
  state.recursive = 1;
  engine.PreScanFolderPair(Path("1"), Path("2"));
  EXPECT_EQ(state.folderTotal[0], 2 + 100 + 10);
  EXPECT_EQ(state.folderTotal[1], 1 + 1000 + 11);
  EXPECT_EQ(state.preScanning, 1);
  EXPECT_EQ(sink.lines, Lines{NoCounterpart("1", "only1")});
  EXPECT_EQ(state.filesCompared, 0);
  EXPECT_EQ(state.comparedSize, 0);
  // The running display: one caption per pair, lagging one pair behind the totals.
  ASSERT_EQ(sink.Captions(Panel::Panel3).size(), 4u);
  EXPECT_EQ(sink.Captions(Panel::Panel3)[0], "    0/    0KB");
}

TEST_F(EngineTest, ARecursiveRunTakesTheSmallerTotalAndDropsThePreScanLines) {
  tree.File("1/a", std::string(16, 'x'));
  tree.File("1/S/b", std::string(800, 'x'));
  tree.File("2/a", std::string(8, 'x'));
  tree.Folder("2/T");
  state.recursive = 1;
  EXPECT_TRUE(engine.Run(Path("1"), Path("2")));
  EXPECT_EQ(state.expectedTotal, 1);
  EXPECT_EQ(sink.clears, 1);
  // Only the comparison's lines: its own report of S and T, not the pre-scan's.
  EXPECT_EQ(sink.lines.size(), 3u);
  EXPECT_EQ(state.errorCount, 3);
}

TEST_F(EngineTest, ANonRecursiveRunHasNoPreScan) {
  tree.File("1/a", "x");
  tree.File("2/a", "x");
  state.expectedTotal = 99;
  state.errorCount = 5;
  EXPECT_TRUE(engine.Run(Path("1"), Path("2")));
  EXPECT_EQ(state.expectedTotal, 0);
  EXPECT_EQ(state.errorCount, 0);
  EXPECT_EQ(state.filesCompared, 1);
  EXPECT_TRUE(sink.Captions(Panel::Panel3).size() == 1u);
}

// A stop that comes before the run has begun (Stop pressed as its window opens, Ctrl-C at once)
// belongs to it: the caller clears the flag before it starts a run, the run never does.
TEST_F(EngineTest, AStopRequestedBeforeTheRunStartsIsKept) {
  tree.File("1/a", "x");
  tree.File("2/a", "x");
  state.recursive = 1;
  state.stopRequested = 1;
  EXPECT_FALSE(engine.Run(Path("1"), Path("2")));
  EXPECT_EQ(state.stopRequested, 1);
  EXPECT_EQ(state.filesCompared, 0);
  EXPECT_EQ(sink.clears, 0);
}

#ifdef __linux__
int OpenDescriptors() {
  int n = 0;
  for (auto& e : std::filesystem::directory_iterator("/proc/self/fd")) (void)e, ++n;
  return n;
}
#else
int OpenDescriptors() { return 0; }
#endif

TEST_F(EngineTest, AStopDuringAFileEndsEveryLevelWithNoLineAfterItAndNoFileOpen) {
  std::string big(50000, 'b');
  for (const char* side : {"1", "2"}) {
    tree.File(std::string(side) + "/s/t/big", big);
    // More differing pairs after it than are ever opened and read ahead: none gives a line.
    for (int i = 0; i < 40; ++i) tree.File(std::string(side) + "/s/t/z" + std::to_string(i), side);
  }
  tree.File("2/s/t/orphan", "");
  tree.File("2/s/orphan", "");
  tree.Folder("1/s/t/onlyhere");
  state.recursive = 1;
  int blocks = 0, descriptors = OpenDescriptors();
  int64_t comparedAtStop = -1;
  size_t filesAtStop = 0;
  sink.onBlock = [&] {
    if (sink.Captions(Panel::Panel1).back() == Path("1/s/t/big") && ++blocks == 3) {
      state.stopRequested = 1;
      comparedAtStop = state.comparedSize;
      filesAtStop = sink.Captions(Panel::Panel1).size();
    }
  };
  size_t linesBefore = 0;
  sink.onLine = [&](const std::string&) { linesBefore = sink.lines.size(); };
  EXPECT_FALSE(engine.Run(Path("1"), Path("2")));
  EXPECT_EQ(state.stopRequested, 1);
  size_t lines = sink.lines.size();
  EXPECT_EQ(lines, linesBefore);
  for (const std::string& line : sink.lines) EXPECT_EQ(line.find("onlyhere"), std::string::npos);
  EXPECT_EQ(state.comparedSize, comparedAtStop + 1280);  // the block read before the stop counts
  // A pair an I/O thread was opening ahead is closed when its open returns.
  for (auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangGuardMs);
       OpenDescriptors() != descriptors && std::chrono::steady_clock::now() < until;)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(sink.Captions(Panel::Panel1).size(), filesAtStop);  // no file opened after it
}

TEST_F(EngineTest, AStopDuringAWalkWritesNoFurtherLine) {
  for (int i = 0; i < 50; ++i) tree.File("2/orphan" + std::to_string(i));
  tree.Folder("1");
  sink.onLine = [&](const std::string&) {
    if (sink.lines.size() == 3) state.stopRequested = 1;
  };
  Compare("1", "2");
  EXPECT_EQ(sink.lines.size(), 3u);
  EXPECT_EQ(state.errorCount, 3);
}

TEST_F(EngineTest, AStopDuringThePreScanSkipsTheComparisonAndKeepsItsLines) {
  tree.Folder("1/a/x");
  tree.Folder("1/b/y");
  tree.Folder("2/a");
  tree.Folder("2/b");
  tree.File("1/f", "1");
  tree.File("2/f", "2");
  state.recursive = 1;
  sink.onLine = [&](const std::string&) { state.stopRequested = 1; };
  EXPECT_FALSE(engine.Run(Path("1"), Path("2")));
  EXPECT_EQ(sink.clears, 0);
  EXPECT_EQ(sink.lines.size(), 1u);  // x or y, whichever came first; nothing after it
  EXPECT_EQ(state.preScanning, 1);
  EXPECT_TRUE(sink.Captions(Panel::Panel1).empty());
}

TEST_F(EngineTest, ALinkLoopIsNotEnteredAndGivesOneSearchErrorLine) {
  tree.File("1/sub/f", "x");
  tree.File("2/sub/f", "x");
  std::error_code error;
  std::filesystem::create_directory_symlink(tree.FsPath("1"), tree.FsPath("1/sub/loop"), error);
  if (!error)
    std::filesystem::create_directory_symlink(tree.FsPath("2"), tree.FsPath("2/sub/loop"), error);
  if (error) GTEST_SKIP() << "no folder links here: " << error.message();
  state.recursive = 1;
  EXPECT_TRUE(engine.Run(Path("1"), Path("2")));
  EXPECT_EQ(sink.lines, Lines{Pattern("1/sub/loop") + " : Directory searching error."});
  EXPECT_EQ(state.filesCompared, 1);
  sink = MemorySink();
  engine.PreScanFolderPair(Path("1"), Path("2"));  // the pre-scan stops at the loop too
  EXPECT_EQ(sink.lines, Lines{Pattern("1/sub/loop") + " : Directory searching error."});
  EXPECT_EQ(sink.Captions(Panel::Panel3).size(), 2u);
}

TEST_F(EngineTest, ALinkToASiblingIsNoLoop) {
  tree.File("1/real/f", "x");
  tree.File("2/real/f", "x");
  std::error_code error;
  std::filesystem::create_directory_symlink(tree.FsPath("1/real"), tree.FsPath("1/alias"), error);
  if (!error)
    std::filesystem::create_directory_symlink(tree.FsPath("2/real"), tree.FsPath("2/alias"), error);
  if (error) GTEST_SKIP() << "no folder links here: " << error.message();
  state.recursive = 1;
  EXPECT_TRUE(engine.Run(Path("1"), Path("2")));
  EXPECT_EQ(sink.lines, Lines{});
  EXPECT_EQ(state.filesCompared, 2);
}

}  // namespace
}  // namespace vemo::test
