#include "run/run_actions.h"

#include <chrono>
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

FileSystem& RunFileSystem() {
  static FileSystem* fs = MakeNativeFileSystem().release();  // used by workers until the end
  return *fs;
}
}  // namespace

void Button2Click() {
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

  ProgressDisplay& display = ProgressDisplay::Instance();
  display.BeginRun();
  TCompareThread::Start(state, RunFileSystem(), display, display,
                        [&display] { display.WorkerEnded(); });
  Form1->Minimize();
  PBar->ShowModal();
  display.EndRun();
  if (display.Abandoned()) {
    // Emergency Exit: the worker unwinds at its next stop check; let it leave the engine
    // before the process takes the run state away.
    const auto until = std::chrono::steady_clock::now() + kAbandonedWorkerGrace;
    while (display.WorkerBusy() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Form1->Restore();
}

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
