// The run as the windows show it: the engine's sink and the worker's window side, implemented
// on the progress window, the Error Information window, the main window's Timer1 and the
// application title. Progress figures are latest values repainted by the user-interface thread
// about 25 times a second; everything whose order matters goes through one ordered queue.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>

#include "run/compare_thread.h"
#include "run/ui_handoff.h"

namespace vemo {

class ProgressDisplay : public RunSink, public WorkerWindows {
 public:
  // The one instance; it lives as long as the process, so a worker never outlives it.
  static ProgressDisplay& Instance();

  // UI thread, at Start, before the worker is created: takes the run's folder texts and the
  // animation option, forgets what was painted, starts the repaint timer. The lines go into
  // the Error Information window's text box as they come, a batch at a time (its store holds
  // them once; it draws only the lines in view, so a batch costs only its own lines).
  void BeginRun();
  // UI thread, when the progress window's modal display has ended.
  void EndRun();
  // UI thread: the exception that ended the last run, once (null when none did).
  std::exception_ptr TakeFailure();
  // The application is quitting during the run (Emergency Exit): nothing more reaches the
  // windows, the worker's pause ends at once and its final box closes (or never opens). The
  // next BeginRun starts afresh.
  void Abandon();
  bool Abandoned() const { return abandoned_; }
  // UI thread: runs what waits (also the lines' slower lane) and repaints changed figures at
  // once (tests).
  void Flush();

  // When the worker last had the figures shown at once (at a run's start and ending) and when
  // it last opened its final box: tests check the pause between an ending and its box.
  using Clock = std::chrono::steady_clock;
  Clock::time_point FiguresShownAt() const { return Clock::time_point(Clock::duration(shownAt_)); }
  Clock::time_point FinalBoxAt() const { return Clock::time_point(Clock::duration(boxAt_)); }

  // How many batches of lines have reached the Error Information window (tests: input goes
  // before the next batch).
  uint64_t LineBatches() const { return lineBatches_; }

  // RunSink (worker)
  void AddErrorLine(std::string_view line) override;
  void ClearLines() override;
  void SetPanel(Panel panel, std::string_view caption) override;
  void SetBar(Bar bar, int max, int64_t position) override;

  // WorkerWindows (worker)
  std::string FolderText(int side) override;
  bool AnimationOn() override;
  void EnableTimer() override;
  void DisableTimer() override;
  void SetTimerInterval(unsigned ms) override;
  void SetErrorInfoButtonBlack() override;
  void SetApplicationTitle(const std::string& title) override;
  void SetRunBarPosition(int position) override;
  void ShowProgressNow() override;
  void SetStopEnabled(bool enabled) override;
  void CloseProgressWindow() override;
  void ShowFinalBox(const std::string& text, const std::string& caption, unsigned icon) override;
  void SleepOneSecond() override;
  void RunFailed(std::exception_ptr failure) override;

 private:
  ProgressDisplay();
  void Repaint();  // UI thread
  static void CALLBACK RepaintTick(HWND, UINT, UINT_PTR, DWORD);

  ProgressFigures figures_;
  OrderedWrites writes_;
  ProgressSnapshot painted_;
  std::string folders_[2];
  bool animation_ = true;
  std::atomic<uint64_t> lineBatches_{0};
  std::atomic<bool> abandoned_{false};
  std::mutex endMutex_;  // abandoned_'s effects on the worker's pause and final box
  std::condition_variable abandonedSignal_;
  HWND finalBox_ = nullptr;
  std::atomic<Clock::rep> shownAt_{0}, boxAt_{0};
  UINT_PTR repaintTimer_ = 0;
  std::mutex failureMutex_;
  std::exception_ptr failure_;
};

}  // namespace vemo
