#include "run/progress_display.h"

#include <algorithm>
#include <climits>

#include "engine/win32/utf16.h"
#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {
namespace {
constexpr UINT kRepaintEveryMs = 40;

ui::Panel& panelControl(Panel panel) {
  switch (panel) {
    case Panel::Panel1: return PBar->Panel1;
    case Panel::Panel2: return PBar->Panel2;
    default: return PBar->Panel3;
  }
}

ui::ProgressBar& barControl(Bar bar) {
  return bar == Bar::ProgressBar1 ? PBar->ProgressBar1 : PBar->ProgressBar2;
}
}  // namespace

ProgressDisplay& ProgressDisplay::instance() {
  static ProgressDisplay* display = new ProgressDisplay;  // never destroyed: see the header
  return *display;
}

ProgressDisplay::ProgressDisplay()
    : queue_([this] { ui::App().Post([this] { flush(); }); }) {}

void ProgressDisplay::beginRun() {
  folders_[0] = Form1->Edit1.Text();
  folders_[1] = Form1->Edit2.Text();
  animation_ = Form1->AnimationA1.Checked();
  for (Bar bar : {Bar::ProgressBar1, Bar::ProgressBar2}) {
    painted_.barMax[int(bar)] = barControl(bar).Max();
    painted_.barPosition[int(bar)] = barControl(bar).Position();
  }
  for (Panel panel : {Panel::Panel1, Panel::Panel2, Panel::Panel3})
    painted_.panel[int(panel)] = panelControl(panel).Caption();
  phase_ = Phase::Busy;
  if (!repaintTimer_) repaintTimer_ = SetTimer(nullptr, 0, kRepaintEveryMs, repaintTick);
}

void ProgressDisplay::endRun() {
  if (repaintTimer_) KillTimer(nullptr, repaintTimer_);
  repaintTimer_ = 0;
}

void ProgressDisplay::abandon() {
  abandoned_ = true;
  queue_.shutDown();
}

void CALLBACK ProgressDisplay::repaintTick(HWND, UINT, UINT_PTR, DWORD) {
  instance().repaint();
}

void ProgressDisplay::flush() {
  queue_.drain([](const std::vector<std::string>& lines) { Form2->Memo1.AppendLines(lines); });
  repaint();
}

void ProgressDisplay::repaint() {
  ProgressSnapshot now = painted_;
  if (abandoned_ || !figures_.takeIfChanged(now)) return;
  for (Bar bar : {Bar::ProgressBar1, Bar::ProgressBar2}) {
    const int b = int(bar);
    ui::ProgressBar& control = barControl(bar);
    if (now.barMax[b] != painted_.barMax[b]) control.SetMax(now.barMax[b]);
    if (now.barPosition[b] != painted_.barPosition[b])
      control.SetPosition(int(std::min<int64_t>(now.barPosition[b], INT_MAX)));
  }
  for (Panel panel : {Panel::Panel1, Panel::Panel2, Panel::Panel3})
    if (now.panel[int(panel)] != painted_.panel[int(panel)])
      panelControl(panel).SetCaption(now.panel[int(panel)]);
  painted_ = std::move(now);
}

void ProgressDisplay::appendLine(std::string_view line) { queue_.pushLine(line); }

void ProgressDisplay::clearLines() {
  queue_.push([] { Form2->Memo1.Clear(); });
}

void ProgressDisplay::setPanel(Panel panel, std::string_view caption) {
  figures_.setPanel(panel, caption);
}

void ProgressDisplay::setBar(Bar bar, int max, int64_t position) {
  figures_.setBar(bar, max, position);
}

std::string ProgressDisplay::folderText(int side) { return folders_[side]; }

bool ProgressDisplay::animationOn() { return animation_; }

void ProgressDisplay::enableTimer() {
  queue_.push([] { Form1->Timer1.SetEnabled(true); });
}

void ProgressDisplay::disableTimer() {
  queue_.push([] { Form1->Timer1.SetEnabled(false); });
}

void ProgressDisplay::setTimerInterval(unsigned ms) {
  queue_.push([ms] { Form1->Timer1.SetInterval(ms); });
}

void ProgressDisplay::setErrorInfoButtonBlack() {
  queue_.push([] {
    ui::FontSpec font = Form1->Button4.Font();
    font.black = true;
    Form1->Button4.SetFont(font);
  });
}

void ProgressDisplay::setApplicationTitle(const std::string& title) {
  queue_.push([title] { ui::App().SetTitle(title); });
}

void ProgressDisplay::setRunBarPosition(int position) {
  figures_.setBarPosition(Bar::ProgressBar2, position);
}

void ProgressDisplay::showProgressNow() {
  queue_.push([this] { repaint(); });
}

void ProgressDisplay::setStopEnabled(bool enabled) {
  queue_.push([enabled] { PBar->Stop.SetEnabled(enabled); });
}

void ProgressDisplay::closeProgressWindow() {
  queue_.push([this] {
    repaint();
    PBar->Close();  // ends the Start handler's modal display
  });
}

void ProgressDisplay::showFinalBox(const std::string& text, const std::string& caption,
                                   unsigned icon) {
  if (abandoned_) return;
  phase_ = Phase::InBox;
  MessageBoxW(nullptr, toWide(text).c_str(), toWide(caption).c_str(), MB_OK | icon);
  phase_ = Phase::Busy;
}

void ProgressDisplay::sleepOneSecond() { Sleep(1000); }

}  // namespace vemo
