// Progress bar from 0 to Max. Position keeps the value set; one above Max shows a full bar.
#pragma once
#include <commctrl.h>

#include <algorithm>

#include "control.h"

namespace vemo::ui {

class ProgressBar : public WinControl {
 public:
  void Create(WinControl& parent, const Layout& layout) {
    CreateWindowed(&parent, layout, PROGRESS_CLASSW, 0);
    SetMax(100);
  }

  int Max() const { return max_; }
  void SetMax(int max) {
    max_ = max;
    SendMessageW(hwnd_, PBM_SETRANGE32, 0, max);
    Apply();
  }
  int Position() const { return position_; }
  void SetPosition(int position) {
    position_ = position;
    Apply();
  }
  // What the bar shows.
  int ShownPosition() const { return (int)SendMessageW(hwnd_, PBM_GETPOS, 0, 0); }

 private:
  void Apply() { SendMessageW(hwnd_, PBM_SETPOS, std::clamp(position_, 0, std::max(max_, 0)), 0); }
  int max_ = 100;
  int position_ = 0;
};

}  // namespace vemo::ui
