// The worker thread of one comparison run: it frames the engine's run with the progress
// window's start and ending looks, the summary, the one-second pause and the final box.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/engine.h"

namespace vemo {

// Icons of the final message box, as the platform's flag values (OK button only).
constexpr unsigned kBoxExclamation = 48;
constexpr unsigned kBoxInformation = 64;

// What the worker touches beside the engine's sink: the main window, the progress window and
// the application. Every call comes from the worker; implementations hand window writes to the
// user-interface thread in call order and never wait for it, except where noted.
class WorkerWindows {
 public:
  virtual ~WorkerWindows() = default;
  virtual std::string FolderText(int side) = 0;  // Edit1 / Edit2
  virtual bool AnimationOn() = 0;                // the main window's Animation menu check
  virtual void EnableTimer() = 0;                // the main window's Timer1
  virtual void DisableTimer() = 0;
  virtual void SetTimerInterval(unsigned ms) = 0;
  virtual void SetErrorInfoButtonBlack() = 0;
  virtual void SetApplicationTitle(const std::string& title) = 0;
  virtual void SetRunBarPosition(int position) = 0;  // ProgressBar2, its maximum untouched
  virtual void ShowProgressNow() = 0;  // repaint the progress figures at this point of the order
  virtual void SetStopEnabled(bool enabled) = 0;
  virtual void CloseProgressWindow() = 0;
  // Opened by the worker itself, without owner; returns when the user has dismissed it.
  virtual void ShowFinalBox(const std::string& text, const std::string& caption, unsigned icon) = 0;
  virtual void SleepOneSecond() = 0;
  // An exception ended the run (through its stopped ending); the user-interface thread shows
  // it in the general error report.
  virtual void RunFailed(std::exception_ptr failure) = 0;
};

// The texts of the run's looks and endings.
constexpr const char* kCalculatingTitle = "Calculating - Vemo";
constexpr const char* kCompletedTitle = "Completed - Vemo";
constexpr const char* kStoppedTitle = "Stopped - Vemo";
constexpr const char* kErrorInfoHint =
    "\nYou can see more error infomation clicking \"Error Info...\"Button on main window.";

// The thread of one run, kept by whoever started it: it runs the body at once and is joined
// when the run is over.
class RunWorker {
 public:
  explicit RunWorker(std::function<void()> body);
  ~RunWorker();  // joins, unless let go
  RunWorker(const RunWorker&) = delete;
  RunWorker& operator=(const RunWorker&) = delete;

  // Waits until the body has returned and joins the thread; false when `limit` passed first.
  bool Join(std::chrono::milliseconds limit = std::chrono::milliseconds::max());
  // Leaves a thread that did not end to the process's end (the application is going away and a
  // drive may hold it in a read).
  void LetGo();

 private:
  struct End {  // shared with the thread, which may outlive this object once let go
    std::mutex mutex;
    std::condition_variable signal;
    bool done = false;
  };
  std::shared_ptr<End> end_ = std::make_shared<End>();
  std::thread thread_;
};

class TCompareThread {
 public:
  TCompareThread(RunState& state, FileSystem& fs, RunSink& sink, WorkerWindows& windows);

  // The thread body: one whole run, from the "Calculating" look to the closed progress window.
  void Execute();
  // Execute, and nothing escapes it: exhausted memory is OutOfMemoryStop, any other exception
  // ends the run through its stopped ending and goes to windows.RunFailed.
  void ExecuteGuarded();

  // Creates the worker, running ExecuteGuarded at once; the caller joins it.
  static std::unique_ptr<RunWorker> Start(RunState& state, FileSystem& fs, RunSink& sink,
                                          WorkerWindows& windows);
  // Workers created by Start whose run is not over: over once its ending closes the progress
  // window (or its body has returned without).
  static int Running() { return running_; }

 private:
  void RunOver();              // counted out of Running, once
  void CloseProgressWindow();  // the run's last step but one: it is over from here
  void CompletedEnding();
  void StoppedEnding();
  // The ending's look, shared by both endings: Panel1, the titles, the bars at their ends,
  // Panel3, shown at once, and the animation's rest (or the timer off).
  void ShowEnding(const std::string& panel1, const char* title, const char* panel3);

  RunState& state_;
  FileSystem& fs_;
  RunSink& sink_;
  WorkerWindows& windows_;
  bool counted_ = false;  // in Running (a worker made by Start) until its run is over
  static std::atomic<int> running_;
};

}  // namespace vemo
