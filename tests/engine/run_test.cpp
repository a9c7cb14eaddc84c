// The pre-scan, the run sequence around it, stops at every poll point, and the loop guard.
#include "engine_fixture.h"

namespace vemo::test {
namespace {

TEST_F(EngineTest, PreScanMeasuresOnlyFoldersWhoseWholeChainExistsOnBothSides) {
    tree.file("1/a", std::string(16, 'x'));
    tree.file("1/S/b", std::string(800, 'x'));
    tree.file("2/a", std::string(8, 'x'));
    tree.file("2/S/b", std::string(8000, 'x'));
    tree.file("1/S/T/U/deep", std::string(80, 'x'));
    tree.file("2/S/T/U/other", std::string(88, 'x'));
    tree.file("1/only1/big", std::string(100000, 'x'));
    state.recursive = 1;
    engine.preScanFolderPair(p("1"), p("2"));
    EXPECT_EQ(state.folderTotal[0], 2 + 100 + 10);
    EXPECT_EQ(state.folderTotal[1], 1 + 1000 + 11);
    EXPECT_EQ(state.preScanning, 1);
    EXPECT_EQ(sink.lines, Lines{noCounterpart("1", "only1")});
    EXPECT_EQ(state.filesCompared, 0);
    EXPECT_EQ(state.comparedSize, 0);
    // The running display: one caption per pair, lagging one pair behind the totals.
    ASSERT_EQ(sink.captions(Panel::Panel3).size(), 4u);
    EXPECT_EQ(sink.captions(Panel::Panel3)[0], "    0/    0KB");
}

TEST_F(EngineTest, ARecursiveRunTakesTheSmallerTotalAndDropsThePreScanLines) {
    tree.file("1/a", std::string(16, 'x'));
    tree.file("1/S/b", std::string(800, 'x'));
    tree.file("2/a", std::string(8, 'x'));
    tree.folder("2/T");
    state.recursive = 1;
    EXPECT_TRUE(engine.run(p("1"), p("2")));
    EXPECT_EQ(state.expectedTotal, 1);
    EXPECT_EQ(sink.clears, 1);
    // Only the comparison's lines: its own report of S and T, not the pre-scan's.
    EXPECT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(state.errorCount, 3);
}

TEST_F(EngineTest, ANonRecursiveRunHasNoPreScan) {
    tree.file("1/a", "x");
    tree.file("2/a", "x");
    state.expectedTotal = 99;
    state.stopRequested = 1;  // left over from an earlier run: reset at the start
    state.errorCount = 5;
    EXPECT_TRUE(engine.run(p("1"), p("2")));
    EXPECT_EQ(state.expectedTotal, 0);
    EXPECT_EQ(state.errorCount, 0);
    EXPECT_EQ(state.filesCompared, 1);
    EXPECT_TRUE(sink.captions(Panel::Panel3).size() == 1u);
}

#ifdef __linux__
int openDescriptors() {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator("/proc/self/fd")) (void)e, ++n;
    return n;
}
#else
int openDescriptors() { return 0; }
#endif

TEST_F(EngineTest, AStopDuringAFileEndsEveryLevelWithNoLineAfterItAndNoFileOpen) {
    std::string big(50000, 'b');
    for (const char* side : {"1", "2"}) {
        tree.file(std::string(side) + "/s/t/big", big);
        tree.file(std::string(side) + "/s/t/z", "z");
    }
    tree.file("2/s/t/orphan", "");
    tree.file("2/s/orphan", "");
    tree.folder("1/s/t/onlyhere");
    state.recursive = 1;
    int blocks = 0, descriptors = openDescriptors();
    int64_t comparedAtStop = -1;
    size_t filesAtStop = 0;
    sink.onBlock = [&] {
        if (sink.captions(Panel::Panel1).back() == p("1/s/t/big") && ++blocks == 3) {
            state.stopRequested = 1;
            comparedAtStop = state.comparedSize;
            filesAtStop = sink.captions(Panel::Panel1).size();
        }
    };
    size_t linesBefore = 0;
    sink.onLine = [&](const std::string&) { linesBefore = sink.lines.size(); };
    EXPECT_FALSE(engine.run(p("1"), p("2")));
    EXPECT_EQ(state.stopRequested, 1);
    size_t lines = sink.lines.size();
    EXPECT_EQ(lines, linesBefore);
    for (const std::string& line : sink.lines) EXPECT_EQ(line.find("onlyhere"), std::string::npos);
    EXPECT_EQ(state.comparedSize, comparedAtStop + 1280);  // the block read before the stop counts
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(sink.captions(Panel::Panel1).size(), filesAtStop);  // no file opened after it
}

TEST_F(EngineTest, AStopDuringAWalkWritesNoFurtherLine) {
    for (int i = 0; i < 50; ++i) tree.file("2/orphan" + std::to_string(i));
    tree.folder("1");
    sink.onLine = [&](const std::string&) {
        if (sink.lines.size() == 3) state.stopRequested = 1;
    };
    compare("1", "2");
    EXPECT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(state.errorCount, 3);
}

TEST_F(EngineTest, AStopDuringThePreScanSkipsTheComparisonAndKeepsItsLines) {
    tree.folder("1/a/x");
    tree.folder("1/b/y");
    tree.folder("2/a");
    tree.folder("2/b");
    tree.file("1/f", "1");
    tree.file("2/f", "2");
    state.recursive = 1;
    sink.onLine = [&](const std::string&) { state.stopRequested = 1; };
    EXPECT_FALSE(engine.run(p("1"), p("2")));
    EXPECT_EQ(sink.clears, 0);
    EXPECT_EQ(sink.lines.size(), 1u);  // x or y, whichever came first; nothing after it
    EXPECT_EQ(state.preScanning, 1);
    EXPECT_TRUE(sink.captions(Panel::Panel1).empty());
}

TEST_F(EngineTest, ALinkLoopIsNotEnteredAndGivesOneSearchErrorLine) {
    tree.file("1/sub/f", "x");
    tree.file("2/sub/f", "x");
    std::error_code error;
    std::filesystem::create_directory_symlink(tree.fsPath("1"), tree.fsPath("1/sub/loop"), error);
    if (!error) std::filesystem::create_directory_symlink(tree.fsPath("2"), tree.fsPath("2/sub/loop"), error);
    if (error) GTEST_SKIP() << "no folder links here: " << error.message();
    state.recursive = 1;
    EXPECT_TRUE(engine.run(p("1"), p("2")));
    EXPECT_EQ(sink.lines, Lines{pattern("1/sub/loop") + " : Directory searching error."});
    EXPECT_EQ(state.filesCompared, 1);
    sink = MemorySink();
    engine.preScanFolderPair(p("1"), p("2"));  // the pre-scan stops at the loop too
    EXPECT_EQ(sink.lines, Lines{pattern("1/sub/loop") + " : Directory searching error."});
    EXPECT_EQ(sink.captions(Panel::Panel3).size(), 2u);
}

TEST_F(EngineTest, ALinkToASiblingIsNoLoop) {
    tree.file("1/real/f", "x");
    tree.file("2/real/f", "x");
    std::error_code error;
    std::filesystem::create_directory_symlink(tree.fsPath("1/real"), tree.fsPath("1/alias"), error);
    if (!error) std::filesystem::create_directory_symlink(tree.fsPath("2/real"), tree.fsPath("2/alias"), error);
    if (error) GTEST_SKIP() << "no folder links here: " << error.message();
    state.recursive = 1;
    EXPECT_TRUE(engine.run(p("1"), p("2")));
    EXPECT_EQ(sink.lines, Lines{});
    EXPECT_EQ(state.filesCompared, 2);
}

}  // namespace
}  // namespace vemo::test
