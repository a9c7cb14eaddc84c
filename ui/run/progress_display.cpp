#include "ui/run/progress_display.h"

#include <algorithm>
#include <climits>

#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {
namespace {
constexpr UINT kRepaintEveryMs = 40;

ui::Panel& PanelControl(Panel panel) {
  switch (panel) {
    case Panel::Panel1: return PBar->Panel1;
    case Panel::Panel2: return PBar->Panel2;
    default: return PBar->Panel3;
  }
}

ui::ProgressBar& BarControl(Bar bar) {
  return bar == Bar::ProgressBar1 ? PBar->ProgressBar1 : PBar->ProgressBar2;
}
}  // namespace

ProgressDisplay& ProgressDisplay::Instance() {
  static ProgressDisplay* display = new ProgressDisplay;  // never destroyed: see the header
  return *display;
}

ProgressDisplay::ProgressDisplay()
    : writes_([](OrderedWrites::Op op) { ui::App().Post(std::move(op)); },
              [this](const TextLines& lines) {
                Form2->Memo1.AppendLines(lines);
                ++lineBatches_;
              },
              [](OrderedWrites::Op op) { ui::App().PostLater(std::move(op)); }) {}

void ProgressDisplay::BeginRun() {
  folders_[0] = Form1->Edit1.Text();
  folders_[1] = Form1->Edit2.Text();
  animation_ = Form1->AnimationA1.Checked();
  for (Bar bar : {Bar::ProgressBar1, Bar::ProgressBar2}) {
    painted_.barMax[int(bar)] = BarControl(bar).Max();
    painted_.barPosition[int(bar)] = BarControl(bar).Position();
  }
  for (Panel panel : {Panel::Panel1, Panel::Panel2, Panel::Panel3})
    painted_.panel[int(panel)] = PanelControl(panel).Caption();
  {
    std::lock_guard<std::mutex> lock(failureMutex_);
    failure_ = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(endMutex_);
    abandoned_ = false;
  }
  writes_.Reopen();
  if (!repaintTimer_) repaintTimer_ = SetTimer(nullptr, 0, kRepaintEveryMs, RepaintTick);
}

void ProgressDisplay::EndRun() {
  if (repaintTimer_) KillTimer(nullptr, repaintTimer_);
  repaintTimer_ = 0;
}

std::exception_ptr ProgressDisplay::TakeFailure() {
  std::lock_guard<std::mutex> lock(failureMutex_);
  std::exception_ptr failure = failure_;
  failure_ = nullptr;
  return failure;
}

void ProgressDisplay::RunFailed(std::exception_ptr failure) {
  std::lock_guard<std::mutex> lock(failureMutex_);
  failure_ = failure;
}

void ProgressDisplay::Abandon() {
  writes_.ShutDown();
  std::lock_guard<std::mutex> lock(endMutex_);
  abandoned_ = true;
  if (finalBox_) PostMessageW(finalBox_, WM_COMMAND, IDOK, 0);
  abandonedSignal_.notify_all();
}

void CALLBACK ProgressDisplay::RepaintTick(HWND, UINT, UINT_PTR, DWORD) { Instance().Repaint(); }

void ProgressDisplay::Flush() {
  ui::App().ProcessMessages();
  writes_.Pump();
  Repaint();
}

void ProgressDisplay::Repaint() {
  ProgressSnapshot now = painted_;
  if (abandoned_ || !figures_.TakeIfChanged(now)) return;
  for (Bar bar : {Bar::ProgressBar1, Bar::ProgressBar2}) {
    const int b = int(bar);
    ui::ProgressBar& control = BarControl(bar);
    if (now.barMax[b] != painted_.barMax[b]) control.SetMax(now.barMax[b]);
    if (now.barPosition[b] != painted_.barPosition[b])
      control.SetPosition(int(std::min<int64_t>(now.barPosition[b], INT_MAX)));
  }
  // A panel given a new caption tells assistive technology of it (custom_control.h): so a
  // screen reader hears of the figures at this rate, never once per block.
  for (Panel panel : {Panel::Panel1, Panel::Panel2, Panel::Panel3})
    if (now.panel[int(panel)] != painted_.panel[int(panel)])
      PanelControl(panel).SetCaption(now.panel[int(panel)]);
  painted_ = std::move(now);
}

void ProgressDisplay::AddErrorLine(std::string_view line) { writes_.PushLine(line); }

void ProgressDisplay::ClearLines() {
  writes_.Push([] { Form2->Memo1.Clear(); });
}

void ProgressDisplay::SetPanel(Panel panel, std::string_view caption) {
  figures_.SetPanel(panel, caption);
}

void ProgressDisplay::SetBar(Bar bar, int max, int64_t position) {
  figures_.SetBar(bar, max, position);
}

std::string ProgressDisplay::FolderText(int side) { return folders_[side]; }

bool ProgressDisplay::AnimationOn() { return animation_; }

void ProgressDisplay::EnableTimer() {
  writes_.Push([] { Form1->Timer1.SetEnabled(true); });
}

void ProgressDisplay::DisableTimer() {
  writes_.Push([] { Form1->Timer1.SetEnabled(false); });
}

void ProgressDisplay::SetTimerInterval(unsigned ms) {
  writes_.Push([ms] { Form1->Timer1.SetInterval(ms); });
}

void ProgressDisplay::SetErrorInfoButtonBlack() {
  writes_.Push([] {
    ui::FontSpec font = Form1->Button4.Font();
    font.black = true;
    Form1->Button4.SetFont(font);
  });
}

void ProgressDisplay::SetApplicationTitle(const std::string& title) {
  writes_.Push([title] { ui::App().SetTitle(title); });
}

void ProgressDisplay::SetRunBarPosition(int position) {
  figures_.SetBarPosition(Bar::ProgressBar2, position);
}

void ProgressDisplay::ShowProgressNow() {
  shownAt_ = Clock::now().time_since_epoch().count();
  writes_.Push([this] { Repaint(); });
}

void ProgressDisplay::SetStopEnabled(bool enabled) {
  writes_.Push([enabled] { PBar->Stop.SetEnabled(enabled); });
}

void ProgressDisplay::CloseProgressWindow() {
  writes_.Push([this] {
    Repaint();
    if (PBar->Modal())
      PBar->SetModalResult(ui::kResultOk);  // ends the Start handler's modal display
    else
      PBar->Close();
  });
}

void ProgressDisplay::ShowFinalBox(const std::string& text, const std::string& caption,
                                   unsigned icon) {
  if (abandoned_) return;
  boxAt_ = Clock::now().time_since_epoch().count();
  // No owner, so the progress window stays usable; held in front of it with the focus. An
  // abandon closes it, also one that comes while it opens.
  ui::Application::ShowMessageBox(nullptr, text, caption, MB_OK | MB_SETFOREGROUND | icon,
                                  [this](HWND box) {
                                    std::lock_guard<std::mutex> lock(endMutex_);
                                    finalBox_ = box;
                                    if (abandoned_) PostMessageW(box, WM_COMMAND, IDOK, 0);
                                  });
  std::lock_guard<std::mutex> lock(endMutex_);
  finalBox_ = nullptr;
}

void ProgressDisplay::SleepOneSecond() {
  std::unique_lock<std::mutex> lock(endMutex_);
  abandonedSignal_.wait_for(lock, std::chrono::seconds(1), [this] { return abandoned_.load(); });
}

}  // namespace vemo
