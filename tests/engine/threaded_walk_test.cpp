// The walk with its look-ahead on drives whose every call waits a random time: it shows exactly
// what a run without delays shows, a stop at any moment reports nothing after it and leaves
// nothing open, a stop never waits for a call that does not return, and no shape holds more
// descriptors than the walk's bound.
#include <atomic>
#include <future>
#include <mutex>
#include <random>

#include "engine/folder_walk.h"
#include "engine_fixture.h"
#include "tests/support/hang_guard.h"
#include "tests/support/test_file_system.h"

namespace vemo::test {
namespace {

using testing::Hang;
using testing::TestFileSystem;
using Micros = std::chrono::microseconds;

// Everything a run shows: its lines, figures and captions in order, and its counters.
struct Outcome {
  bool completed = false;
  Lines lines, captions[3];
  std::vector<int64_t> bars;
  int64_t errors = 0, files = 0, compared = 0, expected = 0, totals[2] = {};
  bool operator==(const Outcome& o) const {
    return completed == o.completed && lines == o.lines && captions[0] == o.captions[0] &&
           captions[1] == o.captions[1] && captions[2] == o.captions[2] && bars == o.bars &&
           errors == o.errors && files == o.files && compared == o.compared &&
           expected == o.expected && totals[0] == o.totals[0] && totals[1] == o.totals[1];
  }
};

class ThreadedWalkTest : public EngineTest {
 protected:
  // Dozens of files and several sub-folders per folder, `levels` deep: equal, differing and
  // longer pairs, files and folders on one side only, a file against a folder of its name,
  // names that match only without case, empty files.
  void MakeRandomTree(const std::string& root, uint32_t seed, int levels,
                      const std::string& at = "") {
    std::mt19937 random(seed);
    auto pick = [&](int from, int to) {
      return std::uniform_int_distribution<int>(from, to)(random);
    };
    auto bytes = [&](int size) {  // a slice of one random block: quick to make
      static const std::string block = [] {
        std::mt19937 fill(7);
        std::string b(200000, '\0');
        for (char& c : b) c = static_cast<char>(fill());
        return b;
      }();
      return block.substr(static_cast<size_t>(pick(0, 100000)), static_cast<size_t>(size));
    };
    const int files = pick(10, 30);
    for (int i = 0; i < files; ++i) {
      const std::string name = "/f" + std::to_string(i) + (pick(0, 1) ? "x" : "");
      const std::string one = root + "/1" + at + name, two = root + "/2" + at + name;
      // Empty, within a block or a few, or across the first long read.
      const int kind = pick(0, 19);
      std::string data = bytes(kind < 5 ? 0 : kind < 19 ? pick(1, 25000) : pick(80000, 90000));
      switch (pick(0, 9)) {
        case 0: tree.File(one, data); break;
        case 1: tree.File(two, data); break;
        case 2:  // differs in one byte
          tree.File(one, data);
          if (!data.empty()) data[static_cast<size_t>(pick(0, int(data.size()) - 1))] ^= 1;
          tree.File(two, data);
          break;
        case 3:
          tree.File(one, data);
          tree.File(two, data + "z");
          break;
        case 4:
          tree.File(one, data);
          tree.Folder(two);
          break;
        case 5:
          tree.File(one, data);
          tree.File(root + "/2" + at + "/F" + name.substr(2), data);
          break;
        default: tree.File(one, data); tree.File(two, data);
      }
    }
    if (levels == 0) return;
    const int folders = pick(2, 4);
    for (int i = 0; i < folders; ++i) {
      const std::string name = at + "/d" + std::to_string(i);
      if (pick(0, 6) == 0) {
        tree.File(root + (pick(0, 1) ? "/1" : "/2") + name + "/lonely", "x");
        continue;
      }
      tree.Folder(root + "/1" + name);
      tree.Folder(root + "/2" + name);
      MakeRandomTree(root, seed * 31 + static_cast<uint32_t>(i) + 1, levels - 1, name);
    }
  }

  Outcome RunOn(const std::string& root, FileSystem& fileSystem, bool ignoreCase, bool ignoreNoFile,
                const std::function<void(RunState&, MemorySink&)>& prepare = {}) {
    RunState runState;
    runState.recursive = 1;
    runState.ignoreCase = ignoreCase ? 1 : 0;
    runState.ignoreNoFile = ignoreNoFile ? 1 : 0;
    MemorySink memory;
    if (prepare) prepare(runState, memory);
    Outcome o;
    o.completed = Engine(runState, fileSystem, memory).Run(Path(root + "/1"), Path(root + "/2"));
    o.lines = memory.lines;
    for (int p = 0; p < 3; ++p) o.captions[p] = memory.panel[p];
    for (const BarUpdate& bar : memory.bars) o.bars.push_back(bar.position);
    o.errors = runState.errorCount;
    o.files = runState.filesCompared;
    o.compared = runState.comparedSize;
    o.expected = runState.expectedTotal;
    o.totals[0] = runState.folderTotal[0];
    o.totals[1] = runState.folderTotal[1];
    return o;
  }

  // Whether a path of the drive ends in `tail` ('/' standing for the separator).
  bool EndsWith(const std::string& path, std::string tail) const {
    std::replace(tail.begin(), tail.end(), '/', fs->Separator());
    tail.insert(tail.begin(), fs->Separator());
    return path.size() >= tail.size() &&
           path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
  }

  // Every call waits up to `most`, as its seed says: mostly a little, now and then long.
  static std::function<Micros()> RandomDelays(uint32_t seed, Micros most) {
    auto random = std::make_shared<std::mt19937>(seed);
    auto mutex = std::make_shared<std::mutex>();
    return [=] {
      std::lock_guard<std::mutex> lock(*mutex);
      const int roll = std::uniform_int_distribution<int>(0, 99)(*random);
      return Micros(roll < 80 ? roll * most.count() / 400 : most.count());
    };
  }
};

TEST_F(ThreadedWalkTest, RandomDelaysGiveExactlyWhatARunWithoutDelaysGive) {
  for (uint32_t shape = 1; shape <= 5; ++shape) {  // each tree under two orders of delays
    const std::string root = "s" + std::to_string(shape);
    MakeRandomTree(root, shape, 2);
    const bool ignoreCase = shape % 2 == 0, ignoreNoFile = shape % 3 == 0;
    TestFileSystem plain(*fs);
    const Outcome quick = RunOn(root, plain, ignoreCase, ignoreNoFile);
    EXPECT_TRUE(quick.completed);
    EXPECT_GT(quick.lines.size(), 5u) << "tree " << shape;
    for (uint32_t seed : {shape, shape + 100}) {
      TestFileSystem slow(*fs);
      slow.callDelay = RandomDelays(seed, Micros(1500));
      const Outcome delayed = RunOn(root, slow, ignoreCase, ignoreNoFile);
      // The walk and at least one helper (how many a busy machine starts is its own affair).
      EXPECT_GT(slow.Callers(), 1u) << "seed " << seed << ": nothing was done ahead";
      EXPECT_EQ(delayed.lines, quick.lines) << "seed " << seed;
      EXPECT_TRUE(delayed == quick) << "seed " << seed << ": the same counts, figures and captions";
      EXPECT_LE(slow.MostOpen(), kMostOpenAtOnce) << "seed " << seed;
    }
  }
}

TEST_F(ThreadedWalkTest, AStopAtAnyMomentReportsNothingAfterItAndLeavesNothingOpen) {
  MakeRandomTree("s", 99, 2);
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    TestFileSystem slow(*fs);
    std::mt19937 random(seed);
    const int stopAtCall = std::uniform_int_distribution<int>(1, 3000)(random);
    auto delays = RandomDelays(seed, Micros(seed % 2 ? 1500 : 0));
    std::atomic<int> calls{0};
    RunState* running = nullptr;
    int linesAfterStop = 0;
    slow.callDelay = [&] {
      if (++calls == stopAtCall) running->stopRequested = 1;  // from whichever thread calls
      return delays();
    };
    const Outcome o = RunOn("s", slow, false, false, [&](RunState& state, MemorySink& memory) {
      running = &state;
      memory.onLine = [&](const std::string&) { linesAfterStop += state.stopRequested.load(); };
    });
    if (calls < stopAtCall) continue;  // the run ended first
    EXPECT_FALSE(o.completed) << "seed " << seed;
    EXPECT_LE(linesAfterStop, 1) << "seed " << seed << ": only the line under way";
    EXPECT_TRUE(slow.WaitUntilQuiet()) << "seed " << seed;
  }
}

TEST_F(ThreadedWalkTest, AStopNeverWaitsForACallThatDoesNotReturn) {
  for (int i = 0; i < 40; ++i) {
    tree.File("1/s/f" + std::to_string(i), "same");
    tree.File("2/s/f" + std::to_string(i), "same");
  }
  tree.File("1/s/zlate", "1");
  tree.File("2/s/zlate", "2");
  tree.Folder("1/s/t");
  tree.Folder("2/s/t");
  struct Case {
    const char* what;
    Micros delay;  // a slow drive: threads do the calls; a quick one: the walk does them
    std::function<void(TestFileSystem&, Hang&)> hang;
  };
  const auto readOf = [this](const char* name) {
    return [this, name](TestFileSystem& drive, Hang& hang) {
      drive.onRead = [this, name, &hang](const std::string& path, int64_t, size_t) {
        if (EndsWith(path, name)) hang.Wait();
        return false;
      };
    };
  };
  const Case cases[] = {
      {"a read on an I/O thread", Micros(1000), readOf("s/f17")},
      {"a read of the walk's own", Micros(0), readOf("s/f17")},
      {"an open of a folder", Micros(0),
       [this](TestFileSystem& drive, Hang& hang) {
         drive.onOpenFolder = [this, &hang](const std::string& path) {
           if (EndsWith(path, "s/t")) hang.Wait();
         };
       }},
  };
  for (const Case& c : cases) {
    TestFileSystem drive(*fs);
    drive.openDelay = c.delay;
    Hang hang;
    c.hang(drive, hang);
    RunState runState;
    runState.recursive = 1;
    MemorySink memory;
    int linesAfterStop = 0;
    memory.onLine = [&](const std::string&) { linesAfterStop += runState.stopRequested.load(); };
    auto run = std::async(std::launch::async, [&] {
      Engine engine(runState, drive, memory);
      engine.CompareFolderPair(Path("1/s"), Path("2/s"));
    });
    ASSERT_TRUE(hang.Reached()) << c.what;
    runState.stopRequested = 1;
    // The run ends while the call still waits.
    const bool ended =
        run.wait_for(std::chrono::milliseconds(kHangGuardMs)) == std::future_status::ready;
    hang.Release();
    run.wait();
    EXPECT_TRUE(ended) << c.what;
    EXPECT_EQ(linesAfterStop, 0) << c.what;
    EXPECT_TRUE(drive.WaitUntilQuiet())
        << c.what << ": the thread left behind closes what it opened";
  }
}

// A drive that fails a whole request (a FUSE drive over a bad sector): a long read that reaches
// the bad part gives nothing, yet the blocks before it compare as reads of one block each do.
TEST_F(ThreadedWalkTest, AFailedReadKeepsWhatBlockByBlockReadsFind) {
  std::string data(100000, 'a');
  std::string other = data;
  other[15000] = 'b';
  tree.File("1/differ", data);
  tree.File("2/differ", other);
  tree.File("1/same", data);
  tree.File("2/same", data);
  for (Micros delay : {Micros(0), Micros(1000)}) {
    TestFileSystem drive(*fs);
    drive.openDelay = delay;
    drive.onRead = [this](const std::string& path, int64_t offset, size_t size) {
      const bool first = EndsWith(path, "1/differ") || EndsWith(path, "1/same");
      return first && offset + static_cast<int64_t>(size) > 61440;
    };
    RunState runState;
    MemorySink memory;
    Engine(runState, drive, memory).CompareFolderPair(Path("1"), Path("2"));
    std::vector<std::string> lines = memory.lines;
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Lines{Differ("1/differ", "2/differ"), Longer("2/same", "1/same")}))
        << "a drive whose calls wait " << delay.count() << " us";
  }
}

// A chain with a sibling at every level, on a slow drive: the walk climbs back to each level
// and the look-ahead works on every side at once, and still no more is open than the bound.
TEST_F(ThreadedWalkTest, FoldersHeldStayWithinTheBoundOnADeepCombOfFolders) {
  const int kLevels = 80;
  std::string chain;
  for (int i = 0; i < kLevels; ++i) {
    chain += "/d";
    for (const char* side : {"1", "2"}) {
      tree.File(side + chain + "/side/f", side);
      tree.File(side + chain + "/f", "same");
    }
  }
  TestFileSystem slow(*fs);
  slow.openDelay = Micros(300);
  RunState runState;
  runState.recursive = 1;
  MemorySink memory;
  EXPECT_TRUE(Engine(runState, slow, memory).Run(Path("1"), Path("2")));
  EXPECT_EQ(memory.lines.size(), size_t(kLevels));
  EXPECT_EQ(runState.filesCompared, kLevels);
  EXPECT_LE(slow.MostOpen(), kMostOpenAtOnce);
  RecordProperty("mostOpen", int(slow.MostOpen()));
}

}  // namespace
}  // namespace vemo::test
