// A drive that makes every open wait: the sub-folders and files are opened and listed ahead on
// other threads, and the run must still show exactly what a run on a quick drive shows.
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "engine_fixture.h"
#include "tests/support/test_file_system.h"

namespace vemo::test {
namespace {

class SlowDriveTest : public EngineTest {
 protected:
  // Wider than one folder's share of pairs listed ahead, three levels deep, with a difference,
  // a file and a folder without counterpart, and an empty folder at each level.
  void MakeTree() {
    for (int a = 0; a < 12; ++a) {
      const std::string top = "/d" + std::to_string(a);
      for (int b = 0; b < 3; ++b) {
        const std::string mid = top + "/e" + std::to_string(b);
        tree.File("1" + mid + "/same", "same");
        tree.File("2" + mid + "/same", "same");
        tree.File("1" + mid + "/diff", "one");
        tree.File("2" + mid + "/diff", "two");
        tree.File("1" + mid + "/only1", "x");
        tree.Folder("2" + mid + "/only2/x");
        tree.Folder("1" + mid + "/empty");
        tree.Folder("2" + mid + "/empty");
      }
      tree.File("1" + top + "/size", std::string(100 + a, 'x'));
      tree.File("2" + top + "/size", std::string(100 + a, 'x'));
    }
    tree.Folder("1/onlyfolder/x");
  }

  struct Outcome {
    Lines lines;
    bool completed;
    int64_t expected, compared, files, errors;
  };
  Outcome RunOn(FileSystem& fileSystem) {
    RunState runState;
    runState.recursive = 1;
    MemorySink memory;
    Engine slowEngine(runState, fileSystem, memory);
    const bool completed = slowEngine.Run(Path("1"), Path("2"));
    return {memory.lines,           completed,
            runState.expectedTotal, runState.comparedSize,
            runState.filesCompared, runState.errorCount};
  }
};

TEST_F(SlowDriveTest, ListingAheadShowsWhatAQuickDriveShows) {
  MakeTree();
  const Outcome quick = RunOn(*fs);
  testing::TestFileSystem slow(*fs);
  slow.openDelay = std::chrono::milliseconds(1);
  const Outcome ahead = RunOn(slow);
  EXPECT_GT(slow.FolderOpeners(), 1u) << "nothing was listed ahead";
  EXPECT_EQ(slow.OpenFolders(), 0u);
  EXPECT_TRUE(ahead.completed);
  EXPECT_EQ(ahead.lines, quick.lines);
  EXPECT_EQ(ahead.expected, quick.expected);
  EXPECT_EQ(ahead.compared, quick.compared);
  EXPECT_EQ(ahead.files, quick.files);
  EXPECT_EQ(ahead.errors, quick.errors);
}

// A stop while pairs are listed ahead (asked from a listing thread, as the window asks it from
// another thread), in the pre-scan and in the comparison: the run ends with at most the line
// under way, and every folder listed ahead is closed.
TEST_F(SlowDriveTest, AStopWhileListingAheadLeavesNoFolderOpen) {
  MakeTree();
  for (int stopAtListing : {20, 200}) {  // each run lists 170 folders in each phase
    testing::TestFileSystem slow(*fs);
    slow.openDelay = std::chrono::milliseconds(1);
    RunState runState;
    runState.recursive = 1;
    MemorySink memory;
    std::atomic<int> listings{0};  // counted by every listing thread
    int linesAfterStop = 0;
    slow.onList = [&](const std::string&) {
      if (++listings == stopAtListing) runState.stopRequested = 1;
    };
    memory.onLine = [&](const std::string&) { linesAfterStop += runState.stopRequested.load(); };
    Engine slowEngine(runState, slow, memory);
    EXPECT_FALSE(slowEngine.Run(Path("1"), Path("2"))) << "stopped at listing " << stopAtListing;
    // A folder still being listed is closed once its listing is over.
    EXPECT_TRUE(slow.WaitUntilQuiet()) << "stopped at listing " << stopAtListing;
    EXPECT_LE(linesAfterStop, 1) << "stopped at listing " << stopAtListing;
  }
}

// A listing that throws on a listing thread (a file system that gives up) throws from the walk,
// as a listing of the walk's own would, and leaves no folder open.
TEST_F(SlowDriveTest, AListingThatThrowsAheadThrowsFromTheWalk) {
  MakeTree();
  testing::TestFileSystem slow(*fs);
  slow.openDelay = std::chrono::milliseconds(1);
  // A sub-folder listed by any thread but the first to list throws: most are listed ahead.
  std::atomic<std::thread::id> walkThread{};
  slow.onList = [&](const std::string& folder) {
    std::thread::id none{};
    walkThread.compare_exchange_strong(none, std::this_thread::get_id());
    const bool deep = folder[folder.find_last_of("/\\") + 1] == 'e';  // e0..e2, empty
    if (deep && std::this_thread::get_id() != walkThread)
      throw std::runtime_error("The network folder went away");
  };
  RunState runState;
  runState.recursive = 1;
  MemorySink memory;
  {
    Engine slowEngine(runState, slow, memory);
    EXPECT_THROW(slowEngine.Run(Path("1"), Path("2")), std::runtime_error);
  }
  EXPECT_TRUE(slow.WaitUntilQuiet());
}

}  // namespace
}  // namespace vemo::test
