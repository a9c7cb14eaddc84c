#include "ui/windows/tform2.h"

#include "ui/toolkit/application.h"

namespace vemo {

TForm2::TForm2() {
  CreateForm({"Form2", "Vemo Error Information", ui::BorderStyle::Sizeable,
              ui::FormPosition::System, 400, 300, true, ui::MakeFont(12)});
  Memo1.Create(*this, ui::Layout{"Memo1", 0, 0, ClientWidth(), ClientHeight(), "No error.", {}, 0});
  AlignClient(&Memo1);
}

void TForm2::AppendLine(const std::string& line) {
  if (ui::App().OnUiThread()) {
    Flush();
    Memo1.AppendLine(line);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.push_back(line);
  QueueFlush();
}

void TForm2::ClearLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.clear();  // lines before a clear are never shown
  if (ui::App().OnUiThread() && !flushQueued_) {
    clearPending_ = false;
    Memo1.Clear();
    return;
  }
  clearPending_ = true;
  QueueFlush();
}

void TForm2::QueueFlush() {
  if (flushQueued_) return;
  flushQueued_ = true;
  ui::App().Post([this] { Flush(); });
}

void TForm2::Flush() {
  std::vector<std::string> lines;
  bool clear;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines.swap(pending_);
    clear = clearPending_;
    clearPending_ = false;
    flushQueued_ = false;
  }
  if (clear) Memo1.Clear();
  Memo1.AppendLines(lines);
}

std::vector<std::string> TForm2::Lines() {
  Flush();
  return Memo1.Lines();
}

int TForm2::LineCount() {
  Flush();
  return Memo1.LineCount();
}

void TForm2::ShowAndClose() {
  Show();
  Close();
}

int TForm2::ShowErrorInfo() {
  Flush();
  Memo1.Show();
  return ShowModal();
}

}  // namespace vemo
