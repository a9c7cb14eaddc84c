// The run as the windows show it: the engine's sink and the worker's window side, implemented
// on the progress window, the Error Information window, the main window's Timer1 and the
// application title. Progress figures are latest values repainted by the user-interface thread
// about 25 times a second; everything whose order matters goes through one ordered queue.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "run/compare_thread.h"
#include "run/ui_handoff.h"

namespace vemo {

class ProgressDisplay : public RunSink, public WorkerWindows {
 public:
  // The one instance; it lives as long as the process, so a worker never outlives it.
  static ProgressDisplay& instance();

  // UI thread, at Start, before the worker is created: takes the run's folder texts and the
  // animation option, forgets what was painted, starts the repaint timer.
  void beginRun();
  // UI thread, when the progress window's modal display has ended.
  void endRun();
  // Emergency Exit: nothing more reaches the windows and no final box opens.
  void abandon();
  bool abandoned() const { return abandoned_; }
  // True while a worker runs the engine or its endings (not while its final box is open).
  bool workerBusy() const { return phase_ == Phase::Busy; }
  void workerEnded() { phase_ = Phase::Idle; }
  // UI thread: runs what is queued and repaints changed figures at once (tests, shutdown).
  void flush();

  // RunSink (worker)
  void appendLine(std::string_view line) override;
  void clearLines() override;
  void setPanel(Panel panel, std::string_view caption) override;
  void setBar(Bar bar, int max, int64_t position) override;

  // WorkerWindows (worker)
  std::string folderText(int side) override;
  bool animationOn() override;
  void enableTimer() override;
  void disableTimer() override;
  void setTimerInterval(unsigned ms) override;
  void setErrorInfoButtonBlack() override;
  void setApplicationTitle(const std::string& title) override;
  void setRunBarPosition(int position) override;
  void showProgressNow() override;
  void setStopEnabled(bool enabled) override;
  void closeProgressWindow() override;
  void showFinalBox(const std::string& text, const std::string& caption, unsigned icon) override;
  void sleepOneSecond() override;

 private:
  enum class Phase { Idle, Busy, InBox };
  ProgressDisplay();
  void repaint();  // UI thread
  static void CALLBACK repaintTick(HWND, UINT, UINT_PTR, DWORD);

  ProgressFigures figures_;
  UiQueue queue_;
  ProgressSnapshot painted_;
  std::string folders_[2];
  bool animation_ = true;
  std::atomic<bool> abandoned_{false};
  std::atomic<Phase> phase_{Phase::Idle};
  UINT_PTR repaintTimer_ = 0;
};

}  // namespace vemo
