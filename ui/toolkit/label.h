// Text drawn on its form (no window of its own). "&" marks an access key and "&&" shows one
// ampersand. An auto-sized label draws its whole text even past its design size. A text wider
// than the design width is drawn in a narrowed font that fits it (FittedFont).
#pragma once
#include <oleacc.h>

#include "control.h"

namespace vemo::ui {

class Label : public GraphicControl {
 public:
  void Create(WinControl& parent, const Layout& layout) { CreateGraphic(&parent, layout); }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize) {
    Invalidate();
    autoSize_ = autoSize;
    Invalidate();
  }

  long AccessibleRole() const override { return ROLE_SYSTEM_STATICTEXT; }
  void Paint(HDC dc) override;
  RECT DrawnRect() const override;
  // The font the caption is drawn in.
  HFONT DrawnFont() const;

 private:
  RECT TextRect() const;
  bool autoSize_ = true;
};

}  // namespace vemo::ui
