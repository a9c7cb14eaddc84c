// Multi-line read-only text box with both scroll bars and no word wrap: every line stays one
// line however long it is. Lines are appended in batches (one edit of the control per batch).
// The lines are kept beside the control: reading them back never asks the control.
#pragma once
#include <string>
#include <vector>

#include "control.h"

namespace vemo::ui {

class Memo : public WinControl {
 public:
  void Create(WinControl& parent, const Layout& layout);
  bool TabStop() const override { return true; }

  void AppendLine(const std::string& line) { AppendLines({line}); }
  void AppendLines(const std::vector<std::string>& lines);
  void Clear();
  void SetLines(const std::vector<std::string>& lines);
  const std::vector<std::string>& Lines() const { return lines_; }
  int LineCount() const { return (int)lines_.size(); }

  // Between BeginUpdate and EndUpdate the lines change but the control does not: a text box
  // takes tens of microseconds per line, so 200,000 lines would keep the user-interface
  // thread busy for seconds. The control catches up once, when it is next painted.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

  bool Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  static LRESULT CALLBACK PaintProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  std::wstring Joined(size_t from) const;  // lines_[from..] as the control's text
  void WriteLines(size_t from);            // appends lines_[from..] to the control
  void CatchUp();                          // the control shows every line (when it is visible)

  std::vector<std::string> lines_;
  size_t shown_ = 0;  // lines_[0, shown_) are in the control
  int updating_ = 0;
  bool catchUpPosted_ = false;
};

}  // namespace vemo::ui
