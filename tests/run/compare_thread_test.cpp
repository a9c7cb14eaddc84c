// The worker's run sequence over the real engine and real files, with the sink and the window
// side recorded in call order: the start look, both endings, the box, the stop in the pre-scan.
#include "run/compare_thread.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_tree.h"

namespace vemo {
namespace {

using Log = std::vector<std::string>;

struct Recorder : RunSink, WorkerWindows {
  Log log;
  std::string folders[2];
  bool animation = true;
  std::function<void()> onLine;

  void AddErrorLine(std::string_view line) override {
    log.push_back("line " + std::string(line));
    if (onLine) onLine();
  }
  void ClearLines() override { log.push_back("clear"); }
  void SetPanel(Panel p, std::string_view caption) override {
    log.push_back("panel" + std::to_string(int(p) + 1) + " " + std::string(caption));
  }
  void SetBar(Bar b, int max, int64_t pos) override {
    log.push_back("bar" + std::to_string(int(b) + 1) + " " + std::to_string(max) + " " +
                  std::to_string(pos));
  }
  std::string FolderText(int side) override { return folders[side]; }
  bool AnimationOn() override { return animation; }
  void EnableTimer() override { log.push_back("timer on"); }
  void DisableTimer() override { log.push_back("timer off"); }
  void SetTimerInterval(unsigned ms) override { log.push_back("interval " + std::to_string(ms)); }
  void SetErrorInfoButtonBlack() override { log.push_back("button4 black"); }
  void SetApplicationTitle(const std::string& t) override { log.push_back("title " + t); }
  void SetRunBarPosition(int pos) override { log.push_back("bar2 pos " + std::to_string(pos)); }
  void ShowProgressNow() override { log.push_back("show"); }
  void SetStopEnabled(bool e) override { log.push_back(e ? "stop on" : "stop off"); }
  void CloseProgressWindow() override { log.push_back("close"); }
  void ShowFinalBox(const std::string& text, const std::string& caption, unsigned icon) override {
    log.push_back("box " + std::to_string(icon) + " [" + caption + "] " + text);
  }
  void SleepOneSecond() override { log.push_back("sleep"); }

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
  std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
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
  const Log ending{"panel1 Compare stopped.",
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
  Log tail = rec.TailFrom("panel1 Compare stopped.");
  EXPECT_EQ(tail, ending);
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
