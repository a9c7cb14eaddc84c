#include "run/compare_thread.h"

#include <memory>
#include <thread>

namespace vemo {
namespace {
constexpr unsigned kFinishingIntervalMs = 8;  // the rest of the scene plays quickly at the end
constexpr const char* kZeroFileSize = "0KB /0KB";
}  // namespace

TCompareThread::TCompareThread(RunState& state, FileSystem& fs, RunSink& sink,
                               WorkerWindows& windows)
    : state_(state), fs_(fs), sink_(sink), windows_(windows) {}

void TCompareThread::start(RunState& state, FileSystem& fs, RunSink& sink,
                           WorkerWindows& windows, std::function<void()> whenDone) {
  auto thread = std::make_unique<TCompareThread>(state, fs, sink, windows);
  std::thread([t = std::move(thread), whenDone = std::move(whenDone)] {
    t->Execute();
    if (whenDone) whenDone();
  }).detach();
}

void TCompareThread::Execute() {
  sink_.setPanel(Panel::Panel2, kZeroFileSize);
  sink_.setPanel(Panel::Panel3, "Calculating");
  sink_.setPanel(Panel::Panel1, "Calculating total of file size...");
  windows_.setRunBarPosition(0);
  windows_.showProgressNow();
  state_.titleText.set(kCalculatingTitle);
  windows_.enableTimer();
  windows_.setErrorInfoButtonBlack();

  // Resets, pre-scan, the stop check between the two walks, the cleared lines, the comparison.
  Engine engine(state_, fs_, sink_);
  const bool completed = engine.run(windows_.folderText(0), windows_.folderText(1));
  if (completed)
    completedEnding();
  else
    stoppedEnding();
}

void TCompareThread::finishBars() {
  sink_.setBar(Bar::ProgressBar1, kBarMax, 0);
  sink_.setBar(Bar::ProgressBar2, kBarMax, kBarMax);
  sink_.setPanel(Panel::Panel2, kZeroFileSize);
}

void TCompareThread::finishAnimation() {
  if (windows_.animationOn()) {
    state_.runFinished = 1;
    windows_.setTimerInterval(kFinishingIntervalMs);
  } else {
    windows_.disableTimer();
  }
}

void TCompareThread::completedEnding() {
  const int64_t errors = state_.errorCount;
  if (errors == 0) sink_.appendLine(kNoErrorLine);
  const std::string summary = summaryText(errors, state_.filesCompared, state_.comparedSize);
  sink_.setPanel(Panel::Panel1, summary);
  windows_.setApplicationTitle(kCompletedTitle);
  state_.titleText.set(kCompletedTitle);
  finishBars();
  sink_.setPanel(Panel::Panel3, "Completed.");
  windows_.showProgressNow();
  finishAnimation();
  windows_.sleepOneSecond();
  if (state_.errorCount > 0)
    windows_.showFinalBox(summary + kErrorInfoHint, "One or more errors found.", kBoxExclamation);
  else
    windows_.showFinalBox(summary, "Completed.", kBoxInformation);
  windows_.closeProgressWindow();
}

void TCompareThread::stoppedEnding() {
  sink_.setPanel(Panel::Panel1, "Compare stopped.");
  windows_.setApplicationTitle(kStoppedTitle);
  state_.titleText.set(kStoppedTitle);
  finishBars();
  sink_.setPanel(Panel::Panel3, "Compare stopped.");
  windows_.showProgressNow();
  finishAnimation();
  sink_.appendLine(kStoppedLine);
  state_.stopRequested = 0;
  windows_.closeProgressWindow();
  windows_.setStopEnabled(true);
}

}  // namespace vemo
