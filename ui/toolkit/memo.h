// Multi-line read-only text box with both scroll bars and no word wrap: every line stays one
// line however long it is. Lines are appended in batches (one edit of the control per batch).
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
  std::vector<std::string> Lines() const;
  int LineCount() const { return lineCount_; }

  bool Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  int lineCount_ = 0;
};

}  // namespace vemo::ui
