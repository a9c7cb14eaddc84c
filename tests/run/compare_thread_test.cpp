// The worker's run sequence over the real engine and real files, with the sink and the window
// side recorded in call order: the start look, both endings, the box, the stop in the pre-scan.
#include "run/compare_thread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/native_file_system.h"
#include "tests/support/temp_tree.h"
#include "tests/support/test_file_system.h"

namespace vemo {
namespace {

using Log = std::vector<std::string>;

// What the windows see of a stopped run's ending, from its first step to the re-enabled Stop.
const Log kStoppedEnding{"panel1 Compare stopped.",
                         "title Stopped - Vemo",
                         "bar1 1024 0",
                         "bar2 1024 1024",
                         "panel2 0KB /0KB",
                         "panel3 Compare stopped.",
                         "show",
                         "interval 8",
                         "line Stopped.",
                         "close",
                         "stop on"};

struct Recorder : RunSink, WorkerWindows {
  Log log;
  std::string folders[2];
  bool animation = true;
  std::function<void()> onLine;
  std::function<void(const std::string&)> onEntry;  // sees each entry as it is logged

  void Note(std::string entry) {
    log.emplace_back(std::move(entry));
    if (onEntry) onEntry(log.back());
  }

  void AddErrorLine(std::string_view line) override {
    Note("line " + std::string(line));
    if (onLine) onLine();
  }
  void ClearLines() override { Note("clear"); }
  void SetPanel(Panel p, std::string_view caption) override {
    Note("panel" + std::to_string(int(p) + 1) + " " + std::string(caption));
  }
  void SetBar(Bar b, int max, int64_t pos) override {
    Note("bar" + std::to_string(int(b) + 1) + " " + std::to_string(max) + " " +
         std::to_string(pos));
  }
  std::string FolderText(int side) override { return folders[side]; }
  bool AnimationOn() override { return animation; }
  void EnableTimer() override { Note("timer on"); }
  void DisableTimer() override { Note("timer off"); }
  void SetTimerInterval(unsigned ms) override { Note("interval " + std::to_string(ms)); }
  void SetErrorInfoButtonBlack() override { Note("button4 black"); }
  void SetApplicationTitle(const std::string& t) override { Note("title " + t); }
  void SetRunBarPosition(int pos) override { Note("bar2 pos " + std::to_string(pos)); }
  void ShowProgressNow() override { Note("show"); }
  void SetStopEnabled(bool e) override { Note(e ? "stop on" : "stop off"); }
  void CloseProgressWindow() override { Note("close"); }
  void ShowFinalBox(const std::string& text, const std::string& caption, unsigned icon) override {
    Note("box " + std::to_string(icon) + " [" + caption + "] " + text);
  }
  void SleepOneSecond() override { Note("sleep"); }
  void RunFailed(std::exception_ptr failure) override {
    try {
      std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      log.push_back(std::string("failed ") + e.what());
    }
  }

  // The entries from the first one starting with `from` to the end.
  Log TailFrom(const std::string& from) const {
    auto it = std::find_if(log.begin(), log.end(),
                           [&](const std::string& e) { return e.rfind(from, 0) == 0; });
    return Log(it, log.end());
  }
};

class WorkerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    state.errorCount = 0;
    state.stopRequested = 0;
    state.runFinished = 0;
    state.recursive = 1;
    state.ignoreCase = 0;
    state.ignoreNoFile = 0;
    state.titleText.Set("Vemo");
  }
  void Run() {
    TCompareThread worker(state, *fs, rec, rec);
    worker.Execute();
  }
  RunState state;
  FileSystem* fs = &test::NativeFileSystem();
  Recorder rec;
  test::TempTree tree{"worker"};
};

const Log kStartLook{"panel2 0KB /0KB",
                     "panel3 Calculating",
                     "panel1 Calculating total of file size...",
                     "bar2 pos 0",
                     "show",
                     "timer on",
                     "button4 black"};

TEST_F(WorkerRun, CompletedRunWithoutFindings) {
  rec.folders[0] = tree.Folder("a");
  rec.folders[1] = tree.Folder("b");
  tree.File("a/same.txt", std::string(3000, 'x'));
  tree.File("b/same.txt", std::string(3000, 'x'));
  Run();
  EXPECT_EQ(Log(rec.log.begin(), rec.log.begin() + 7), kStartLook);
  const std::string summary = "No difference found.   (compared files:1  2KB)";
  const Log ending{"line No error.",
                   "panel1 " + summary,
                   "title Completed - Vemo",
                   "bar1 1024 0",
                   "bar2 1024 1024",
                   "panel2 0KB /0KB",
                   "panel3 Completed.",
                   "show",
                   "interval 8",
                   "sleep",
                   "box 64 [Completed.] " + summary,
                   "close"};
  EXPECT_EQ(rec.TailFrom("line No error."), ending);
  EXPECT_EQ(state.runFinished, 1);
  EXPECT_EQ(state.titleText.Get(), "Completed - Vemo");
  EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "clear"), 1);
}

TEST_F(WorkerRun, CompletedRunWithFindingsAndTheAnimationOff) {
  rec.animation = false;
  rec.folders[0] = tree.Folder("a");
  rec.folders[1] = tree.Folder("b");
  tree.File("a/x.txt", "one");
  tree.File("b/x.txt", "two");
  Run();
  const std::string summary = "1 error(s) found.  (compared files:0  0KB)";
  const Log ending{"panel1 " + summary,
                   "title Completed - Vemo",
                   "bar1 1024 0",
                   "bar2 1024 1024",
                   "panel2 0KB /0KB",
                   "panel3 Completed.",
                   "show",
                   "timer off",
                   "sleep",
                   "box 48 [One or more errors found.] " + summary +
                       "\nYou can see more error infomation clicking \"Error Info...\"Button"
                       " on main window.",
                   "close"};
  EXPECT_EQ(rec.TailFrom("panel1 1 error"), ending);
  EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "line No error."), 0);
  EXPECT_EQ(state.runFinished, 0);
}

TEST_F(WorkerRun, StopDuringThePreScanKeepsItsLinesAndShowsNoBox) {
  rec.folders[0] = tree.Folder("a");
  rec.folders[1] = tree.Folder("b");
  tree.Folder("a/only1");
  tree.Folder("a/both/x");
  tree.Folder("b/both/x");
  // Stop is pressed as soon as the pre-scan has written its first line.
  rec.onLine = [&] {
    if (state.preScanning == 1) state.stopRequested = 1;
  };
  Run();
  EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "clear"), 0);
  EXPECT_EQ(rec.TailFrom("panel1 Compare stopped."), kStoppedEnding);
  const auto line = std::find_if(rec.log.begin(), rec.log.end(), [](const std::string& e) {
    return e.find("only1 does'nt exist") != std::string::npos;
  });
  EXPECT_NE(line, rec.log.end()) << "the pre-scan's line stays";
  EXPECT_EQ(state.stopRequested, 0);
  EXPECT_EQ(state.runFinished, 1);
  EXPECT_EQ(state.titleText.Get(), "Stopped - Vemo");
}

TEST_F(WorkerRun, NonRecursiveRunHasNoPreScan) {
  state.recursive = 0;
  state.expectedTotal = 77;
  rec.folders[0] = tree.Folder("a");
  rec.folders[1] = tree.Folder("b");
  tree.Folder("a/only1");
  Run();
  EXPECT_EQ(state.expectedTotal, 0);
  EXPECT_EQ(Log(rec.log.begin() + 7, rec.log.begin() + 8), Log{"clear"});
}

}  // namespace
}  // namespace vemo

namespace vemo {
namespace {

// Nothing escapes the worker: an exception anywhere in the run ends it through the stopped
// ending and is handed to the windows for the error report; exhausted memory anywhere is the
// out-of-memory stop.
class WorkerFailure : public WorkerRun {
 protected:
  void SetUp() override {
    WorkerRun::SetUp();
    rec.folders[0] = tree.Folder("a");
    rec.folders[1] = tree.Folder("b");
    tree.File("a/same.txt", "x");
    tree.File("b/same.txt", "x");
    tree.Folder("a/deep");
    tree.Folder("b/deep");
  }
  void RunGuarded(FileSystem& files) {
    TCompareThread worker(state, files, rec, rec);
    worker.ExecuteGuarded();
  }
};

TEST_F(WorkerFailure, AnExceptionInTheWalkEndsTheRunAsStopped) {
  // Thrown by a listing, it crosses over to the worker from the thread that listed.
  const struct {
    const char* where;
    std::string folder;  // the folder whose listing throws, at its `listing`th listing
    int listing;
  } cases[] = {
      {"the comparison's sub-folder, on the walk's thread", "deep", 3},
      {"Folder 2, listed beside Folder 1 on a thread of its own", rec.folders[1], 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    rec.log.clear();
    std::atomic<int> lists{0};
    testing::TestFileSystem failing(*fs);
    failing.onList = [&](const std::string& folder) {
      if (folder.size() >= c.folder.size() &&
          folder.compare(folder.size() - c.folder.size(), c.folder.size(), c.folder) == 0 &&
          ++lists == c.listing)
        throw std::runtime_error("The network folder went away");
    };
    RunGuarded(failing);
    EXPECT_EQ(rec.TailFrom("failed"), [&] {
      Log expected{"failed The network folder went away"};
      expected.insert(expected.end(), kStoppedEnding.begin(), kStoppedEnding.end());
      return expected;
    }());
    EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "sleep"), 0) << "no box, no pause";
    EXPECT_EQ(state.stopRequested, 0);
    EXPECT_EQ(state.titleText.Get(), "Stopped - Vemo");
  }
}

TEST_F(WorkerFailure, AnExceptionInTheEndingStillClosesTheWindow) {
  // The final box cannot be shown: the run ends as a stopped one all the same.
  rec.onEntry = [](const std::string& entry) {
    if (entry.rfind("box ", 0) == 0) throw std::runtime_error("No box today");
  };
  RunGuarded(*fs);
  ASSERT_NE(std::find(rec.log.begin(), rec.log.end(), "failed No box today"), rec.log.end());
  EXPECT_EQ(rec.TailFrom("panel1 Compare stopped."), kStoppedEnding);
}

TEST_F(WorkerFailure, AFailingStoppedEndingStillClosesTheWindow) {
  rec.onEntry = [](const std::string& entry) {
    if (entry.rfind("box ", 0) == 0 || entry == "line Stopped.")
      throw std::runtime_error("Windows gone");
  };
  RunGuarded(*fs);
  EXPECT_EQ(rec.log.back(), "close");
}

// What the out-of-memory stop wrote to standard output in the death test's child.
std::string StopOutput(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(WorkerFailure, ExhaustedMemoryAnywhereIsTheOutOfMemoryStop) {
  const char* const places[] = {"panel1 No difference", "sleep", "button4 black"};
  for (int i = 0; i < 3; ++i) {
    // A name that the death test's child finds too (on Windows it runs the test afresh).
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("vemo-worker-oom-" + std::to_string(i));
    const std::string outFile = out.u8string();
    const std::string where = places[i];
    rec.onEntry = [where](const std::string& entry) {
      if (entry.rfind(where, 0) == 0) throw std::bad_alloc();
    };
    EXPECT_EXIT(
        {
          std::freopen(outFile.c_str(), "wb", stdout);
          RunGuarded(*fs);
        },
        ::testing::ExitedWithCode(1), "")
        << where;
    EXPECT_EQ(StopOutput(out), "Out of Memory.\n") << where;
    std::filesystem::remove(out);
  }
}

// The worker is kept and joined: a join with a limit tells a worker that is still held (in its
// one-second pause here) from one that has ended; Running() counts it until its ending closes
// the progress window.
TEST_F(WorkerFailure, TheStarterJoinsItsWorker) {
  EXPECT_EQ(TCompareThread::Running(), 0);
  std::mutex held;
  std::unique_lock<std::mutex> hold(held);
  rec.onEntry = [&](const std::string& entry) {
    if (entry == "sleep") std::lock_guard<std::mutex> wait(held);
  };
  std::unique_ptr<RunWorker> worker = TCompareThread::Start(state, *fs, rec, rec);
  EXPECT_EQ(TCompareThread::Running(), 1);
  EXPECT_FALSE(worker->Join(std::chrono::milliseconds(50)));
  hold.unlock();
  EXPECT_TRUE(worker->Join());
  EXPECT_EQ(TCompareThread::Running(), 0);
  EXPECT_EQ(rec.log.back(), "close");  // its last act closed the progress window
}

}  // namespace
}  // namespace vemo
