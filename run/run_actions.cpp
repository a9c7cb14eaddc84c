#include "run/run_actions.h"

#include <chrono>
#include <exception>
#include <thread>

#include "engine/file_system.h"
#include "run/progress_display.h"
#include "run/progress_scene.h"
#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {
namespace {
constexpr unsigned kTimerIntervalMs = 100;
constexpr auto kAbandonedWorkerGrace = std::chrono::seconds(3);
constexpr auto kClosingWorkerGrace = std::chrono::seconds(10);
bool startRunning = false;  // Start's handler is between its first and its last step

FileSystem* chosenFileSystem = nullptr;

FileSystem& RunFileSystem() {
  if (chosenFileSystem) return *chosenFileSystem;
  static FileSystem* fs = MakeNativeFileSystem().release();  // used by workers until the end
  return *fs;
}

// Waits without handling messages until done() or the time is up.
template <class Done>
void WaitUntil(Done done, std::chrono::steady_clock::duration limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
}  // namespace

void Button2Click() {
  // One run at a time. The modal progress window keeps every other window disabled for the
  // whole run; this also refuses a press that reaches Start some other way.
  if (startRunning || TCompareThread::Running() > 0) return;
  startRunning = true;
  struct Done {
    ~Done() { startRunning = false; }
  } done;

  Form2->Show();
  Form2->Close();
  Form1->Timer1.SetInterval(kTimerIntervalMs);
  RunState& state = SharedRunState();
  state.runFinished = 0;

  const bool animation = Form1->AnimationA1.Checked();
  for (ui::Image* image : {&PBar->ImageWhite, &PBar->Image1, &PBar->ImFolder1, &PBar->ImFolder2})
    image->SetVisible(animation);
  PBar->ImChk1.Hide();
  PBar->ImChk2.Hide();
  PBar->Stop.SetEnabled(true);

  state.recursive = Form1->CheckBox2.Checked() ? 1 : 0;
  state.ignoreCase = Form1->CheckBox1.Checked() ? 1 : 0;
  state.ignoreNoFile = Form1->CheckBox3.Checked() ? 1 : 0;

  // Minimised (which hides it) before the worker exists: the main window is never shown
  // beside a running worker.
  Form1->Minimize();
  ProgressDisplay& display = ProgressDisplay::Instance();
  display.BeginRun();
  try {
    TCompareThread::Start(state, RunFileSystem(), display, display,
                          [&display] { display.WorkerEnded(); });
  } catch (...) {
    display.EndRun();
    Form1->Restore();
    throw;
  }
  // Only the worker ends the modal display with OK; anything else is the quit request.
  const bool quit = PBar->ShowModal() != ui::kResultOk;
  display.EndRun();
  if (quit) {
    // Emergency Exit (or any quit): the worker unwinds at its next stop check; let it leave
    // the engine before the process takes the run state away.
    state.stopRequested = 1;
    display.Abandon();
    WaitUntil([&display] { return !display.WorkerBusy(); }, kAbandonedWorkerGrace);
  } else {
    // The worker closed the window as its last step; it ends before the main window returns.
    WaitUntil([] { return TCompareThread::Running() == 0; }, kClosingWorkerGrace);
  }
  Form1->Restore();
  if (!quit)
    if (std::exception_ptr failure = display.TakeFailure()) std::rethrow_exception(failure);
}

void SetRunFileSystem(FileSystem* fs) { chosenFileSystem = fs; }

void CompareC1Click() { Form1->Button2.Click(); }

void StopClick() {
  PBar->Stop.SetEnabled(false);
  SharedRunState().stopRequested = 1;
}

void BitBtn2Click() {
  if (ui::App().MessageBox("Exit Vemo ?", "Exit Vemo ?", 36) != 6) return;
  SharedRunState().stopRequested = 1;
  ProgressDisplay::Instance().Abandon();
  ui::App().Terminate();
}

void BindRunHandlers() {
  Form1->Button2.OnClick = Button2Click;
  Form1->CompareC1.OnClick = CompareC1Click;
  Form1->Timer1.OnTimer = Timer1Timer;
  PBar->Stop.OnClick = StopClick;
  PBar->BitBtn2.OnClick = BitBtn2Click;
  PBar->ImFolder1.OnMouseDown = [](ui::MouseButton, int, int) { ImFolder1MouseDown(); };
  PBar->ImFolder1.OnMouseUp = [](ui::MouseButton, int, int) { ImFolder1MouseUp(); };
}

}  // namespace vemo
