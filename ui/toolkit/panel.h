// A panel: raised outer bevel, an inner border and a one-line caption, left- or right-aligned.
// A caption wider than the room inside the border is drawn in a narrowed font (FittedFont), if
// need be over the inner border too; one that outgrows even that starts at the left edge, so
// the cut takes its end and never its leading digits.
#pragma once
#include "custom_control.h"

namespace vemo::ui {

enum class Alignment { Left, Center, Right };

class Panel : public CustomControl {
 public:
  void Create(WinControl& parent, const Layout& layout) { CreateCustom(parent, layout); }

  Alignment TextAlignment() const { return alignment_; }
  void SetAlignment(Alignment alignment) {
    alignment_ = alignment;
    Repaint();
  }
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width) {
    borderWidth_ = width;
    Repaint();
  }
  // The width in pixels that a caption has inside the bevel and the inner border.
  int TextRoom() const;
  // Pixels from each side to where a caption's room starts: the bevel and the inner border,
  // or the bevel alone for a caption that does not fit inside the border.
  int Inset(const std::string& caption) const;
  // The font a caption is drawn in.
  HFONT FontFor(const std::string& caption) const;
  // Read as static text: the caption as drawn (no access keys), or the label while empty.
  long AccessibleRole() const override { return ROLE_SYSTEM_STATICTEXT; }
  std::string AccessibleName() const override {
    std::string caption = Caption();
    return caption.empty() ? accessibleLabel_ : caption;
  }
  bool RaisedBevel() const { return raised_; }
  void SetRaisedBevel(bool raised) {
    raised_ = raised;
    Repaint();
  }

 protected:
  void PaintWindow(HDC dc, const RECT& client) override;

 private:
  void Repaint() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  }
  Alignment alignment_ = Alignment::Center;
  int borderWidth_ = 0;
  bool raised_ = true;
};

}  // namespace vemo::ui
