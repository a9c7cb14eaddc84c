#include "run/compare_thread.h"

#include <new>

namespace vemo {
namespace {
constexpr unsigned kFinishingIntervalMs = 8;  // the rest of the scene plays quickly at the end
constexpr const char* kZeroFileSize = "0KB /0KB";
}  // namespace

std::atomic<int> TCompareThread::running_{0};

TCompareThread::TCompareThread(RunState& state, FileSystem& fs, RunSink& sink,
                               WorkerWindows& windows)
    : state_(state), fs_(fs), sink_(sink), windows_(windows) {}

RunWorker::RunWorker(std::function<void()> body) {
  thread_ = std::thread([end = end_, body = std::move(body)] {
    body();
    std::lock_guard<std::mutex> lock(end->mutex);
    end->done = true;
    end->signal.notify_all();
  });
}

RunWorker::~RunWorker() {
  if (thread_.joinable()) thread_.join();
}

bool RunWorker::Join(std::chrono::milliseconds limit) {
  {
    std::unique_lock<std::mutex> lock(end_->mutex);
    const auto done = [this] { return end_->done; };
    if (limit == std::chrono::milliseconds::max())
      end_->signal.wait(lock, done);
    else if (!end_->signal.wait_for(lock, limit, done))
      return false;
  }
  if (thread_.joinable()) thread_.join();
  return true;
}

void RunWorker::LetGo() {
  if (thread_.joinable()) thread_.detach();
}

std::unique_ptr<RunWorker> TCompareThread::Start(RunState& state, FileSystem& fs, RunSink& sink,
                                                 WorkerWindows& windows) {
  TCompareThread run(state, fs, sink, windows);
  run.counted_ = true;
  ++running_;
  try {
    return std::make_unique<RunWorker>([thread = run]() mutable {
      thread.ExecuteGuarded();
      thread.RunOver();  // where no ending got as far as closing the progress window
    });
  } catch (...) {
    --running_;
    throw;
  }
}

void TCompareThread::ExecuteGuarded() {
  try {
    Execute();
    return;
  } catch (const std::bad_alloc&) {
    OutOfMemoryStop(kOutOfMemoryText);
  } catch (...) {
    try {
      windows_.RunFailed(std::current_exception());
    } catch (...) {
    }
  }
  // The run ends as a stopped one; should even that fail, the progress window still closes.
  try {
    StoppedEnding();
  } catch (const std::bad_alloc&) {
    OutOfMemoryStop(kOutOfMemoryText);
  } catch (...) {
    try {
      CloseProgressWindow();
    } catch (...) {
    }
  }
}

void TCompareThread::RunOver() {
  if (!counted_) return;
  counted_ = false;
  --running_;
}

void TCompareThread::CloseProgressWindow() {
  // The run is over before its window closes: once the modal display has ended, a Start finds
  // no run under way, whatever this thread still has to return from.
  RunOver();
  windows_.CloseProgressWindow();
}

void TCompareThread::Execute() {
  sink_.SetPanel(Panel::Panel2, kZeroFileSize);
  sink_.SetPanel(Panel::Panel3, "Calculating");
  sink_.SetPanel(Panel::Panel1, "Calculating total of file size...");
  windows_.SetRunBarPosition(0);
  windows_.ShowProgressNow();
  state_.titleText.Set(kCalculatingTitle);
  windows_.EnableTimer();
  windows_.SetErrorInfoButtonBlack();

  // Resets, pre-scan, the stop check between the two walks, the cleared lines, the comparison.
  // The engine is gone (its listings freed) before the ending shows: what the window waits for
  // at the end is the ending alone.
  bool completed;
  {
    Engine engine(state_, fs_, sink_);
    completed = engine.Run(windows_.FolderText(0), windows_.FolderText(1));
  }
  if (completed)
    CompletedEnding();
  else
    StoppedEnding();
}

void TCompareThread::ShowEnding(const std::string& panel1, const char* title, const char* panel3) {
  sink_.SetPanel(Panel::Panel1, panel1);
  windows_.SetApplicationTitle(title);
  state_.titleText.Set(title);
  sink_.SetBar(Bar::ProgressBar1, kBarMax, 0);
  sink_.SetBar(Bar::ProgressBar2, kBarMax, kBarMax);
  sink_.SetPanel(Panel::Panel2, kZeroFileSize);
  sink_.SetPanel(Panel::Panel3, panel3);
  windows_.ShowProgressNow();
  if (windows_.AnimationOn()) {
    state_.runFinished = 1;  // the scene plays its rest
    windows_.SetTimerInterval(kFinishingIntervalMs);
  } else {
    windows_.DisableTimer();
  }
}

void TCompareThread::CompletedEnding() {
  const int64_t errors = state_.errorCount;
  if (errors == 0) sink_.AddErrorLine(kNoErrorLine);
  const std::string summary = SummaryText(errors, state_.filesCompared, state_.comparedSize);
  ShowEnding(summary, kCompletedTitle, "Completed.");
  windows_.SleepOneSecond();
  if (state_.errorCount > 0)
    windows_.ShowFinalBox(summary + kErrorInfoHint, "One or more errors found.", kBoxExclamation);
  else
    windows_.ShowFinalBox(summary, "Completed.", kBoxInformation);
  CloseProgressWindow();
}

void TCompareThread::StoppedEnding() {
  ShowEnding("Compare stopped.", kStoppedTitle, "Compare stopped.");
  sink_.AddErrorLine(kStoppedLine);
  state_.stopRequested = 0;
  CloseProgressWindow();
  windows_.SetStopEnabled(true);
}

}  // namespace vemo
