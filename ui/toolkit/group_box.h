// A captioned frame. It may be the parent of the controls inside it (positions then relative
// to it) or merely lie behind them.
#pragma once
#include "custom_control.h"

namespace vemo::ui {

class GroupBox : public CustomControl {
 public:
  void Create(WinControl& parent, const Layout& layout) { CreateCustom(parent, layout); }
  // The caption stands in the top edge, inset at both ends.
  int CaptionRoom() const override { return Pixels(width_) - 2 * Pixels(kCaptionInset) - 2; }
  static constexpr int kCaptionInset = 8;
  long AccessibleRole() const override { return ROLE_SYSTEM_GROUPING; }

 protected:
  void PaintWindow(HDC dc, const RECT& client) override;
};

}  // namespace vemo::ui
