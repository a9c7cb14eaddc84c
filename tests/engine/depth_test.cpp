// The walk's depth: its stack holds the deepest tree Windows can hold, and (natively) paths of
// any length are listed and opened.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/walk_stack.h"
#include "engine_fixture.h"
#ifndef _WIN32
#include "tests/support/long_paths.h"
#endif

namespace vemo::test {
namespace {

// Each level of a chain has a file of its own on the Folder 1 side, so its line is written at
// the same place of that level's calls: the distance between two such places is one level.
TEST_F(EngineTest, TheWalkStackHoldsTheDeepestTreeWithRoomToSpare) {
  const int kLevels = 60;
  std::string chain;
  for (int i = 0; i < kLevels; ++i) {
    chain += "/d";
    tree.File("1" + chain + "/x", "x");
    tree.Folder("2" + chain);
  }
  std::vector<const char*> depths;
  sink.onLine = [&](const std::string&) {
    char here = 0;
    depths.push_back(&here);
  };
  state.recursive = 1;
  engine.CompareFolderPair(Path("1"), Path("2"));
  ASSERT_EQ(depths.size(), size_t(kLevels));
  const std::ptrdiff_t total = depths.front() - depths.back();  // the stack grows down
  const std::ptrdiff_t perLevel = total / (kLevels - 1);
  for (int i = 1; i < kLevels; ++i) ASSERT_EQ(depths[i - 1] - depths[i], perLevel) << i;
  const size_t deepest = size_t(perLevel) * kDeepestWalk;
  std::printf("walk stack: %td bytes a level; %d levels take %zu KiB of the %zu KiB reserved\n",
              perLevel, kDeepestWalk, deepest >> 10, kWalkStackBytes >> 10);
  RecordProperty("bytesPerLevel", int(perLevel));
  EXPECT_GT(perLevel, 0);
  EXPECT_LT(deepest * 2, kWalkStackBytes);  // twice the deepest tree still fits
}

TEST_F(EngineTest, AWalkDoesNotDependOnTheCallersStack) {
  // The engine called from a thread with little stack of its own still walks a deep chain.
  const int kLevels = 200;
  std::string chain;
  for (int i = 0; i < kLevels; ++i) chain += "/d";
  tree.File("1" + chain + "/f", "1");
  tree.File("2" + chain + "/f", "2");
  state.recursive = 1;
  struct Call {
    Engine* engine;
    std::string one, two;
    bool completed = false;
  } call{&engine, Path("1"), Path("2")};
  const size_t kSmallStack = 48 << 10;  // a hundred levels would overflow it
  ASSERT_LT(kSmallStack, size_t(kLevels) * 400);
  ASSERT_TRUE(RunOnNewThread(
      kSmallStack,
      [](void* context) {
        auto* c = static_cast<Call*>(context);
        c->completed = c->engine->Run(c->one, c->two);
      },
      &call));
  EXPECT_TRUE(call.completed);
  EXPECT_EQ(sink.lines, Lines{Differ("1" + chain + "/f", "2" + chain + "/f")});
}

#ifndef _WIN32
TEST_F(EngineTest, PathsPastTheSystemLimitAreListedAndOpened) {
  const std::string name(100, 'n');
  const int kLevels = 45;  // 45 names of 101 bytes: past PATH_MAX (4,096)
  for (const char* side : {"1", "2"}) {
    const int deepest = MakeChain(tree.Folder(side), name, kLevels);
    ASSERT_GE(deepest, 0);
    ASSERT_TRUE(WriteFileAt(deepest, "same", "content"));
    ASSERT_TRUE(WriteFileAt(deepest, "diff", side));
    if (side[0] == '1') {
      ASSERT_TRUE(WriteFileAt(deepest, "only1", ""));
    }
    ::close(deepest);
  }
  std::string chain;
  for (int i = 0; i < kLevels; ++i) chain += "/" + name;
  ASSERT_GT(Path("1" + chain).size(), 4096u);
  state.recursive = 1;
  ASSERT_TRUE(engine.Run(Path("1"), Path("2")));
  std::vector<std::string> lines = sink.lines;
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (Lines{Differ("1" + chain + "/diff", "2" + chain + "/diff"),
                          NoCounterpart("1" + chain, "only1")}));
  EXPECT_EQ(state.filesCompared, 1);
  EXPECT_EQ(state.errorCount, 2);
}
#endif

}  // namespace
}  // namespace vemo::test
