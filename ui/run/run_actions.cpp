#include "ui/run/run_actions.h"

#include <exception>

#include "base/scope_exit.h"
#include "engine/file_system.h"
#include "ui/run/progress_display.h"
#include "ui/run/progress_scene.h"
#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {
namespace {
constexpr unsigned kTimerIntervalMs = 100;
bool startRunning = false;  // Start's handler is between its first and its last step
std::function<void()> runStartListener;

FileSystem* chosenFileSystem = nullptr;

FileSystem& RunFileSystem() {
  if (chosenFileSystem) return *chosenFileSystem;
  static FileSystem* fs = MakeNativeFileSystem().release();  // used by workers until the end
  return *fs;
}
}  // namespace

void Button2Click() {
  // One run at a time. The modal progress window keeps every other window disabled for the
  // whole run; this also refuses a press that reaches Start some other way.
  if (RunUnderWay()) return;
  if (runStartListener) runStartListener();
  startRunning = true;
  const ScopeExit done([] { startRunning = false; });

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

  // A stop pressed from here on belongs to this run (the focus is on Stop when its window
  // opens), so the flag is cleared now, before the worker exists, and never by the worker.
  state.stopRequested = 0;

  // Minimised (which hides it) before the worker exists: the main window is never shown
  // beside a running worker.
  Form1->Minimize();
  ProgressDisplay& display = ProgressDisplay::Instance();
  display.BeginRun();
  std::unique_ptr<RunWorker> worker;
  try {
    worker = TCompareThread::Start(state, RunFileSystem(), display, display);
  } catch (...) {
    display.EndRun();
    Form1->Restore();
    throw;
  }
  // The worker ends the modal display with OK as its last step but one (the Stop button's
  // state follows), and the application's end ends it as cancelled.
  PBar->ShowModal();
  display.EndRun();
  if (ui::App().Quitting()) {
    // Emergency Exit (or any quit): nothing more reaches the windows, and the process ends
    // with the worker wherever it is (a drive may hold it in a read).
    state.stopRequested = 1;
    display.Abandon();
  }
  // Otherwise its ending has closed this window and its run is over: what it still has to
  // return from never holds the user-interface thread.
  worker->LetGo();
  Form1->Restore();
  if (!ui::App().Quitting())
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
  AbandonRun();
}

void SetRunStartListener(std::function<void()> listener) { runStartListener = std::move(listener); }

bool RunUnderWay() { return startRunning || TCompareThread::Running() > 0; }

void AbandonRun() {
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
