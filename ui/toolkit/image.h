// A picture drawn on its form at the frame's top-left corner, not stretched, clipped by the
// frame. Images have mouse events (OnMouseDown/OnMouseUp/OnClick of GraphicControl).
#pragma once
#include "control.h"
#include "picture.h"

namespace vemo::ui {

class Image : public GraphicControl {
 public:
  void Create(WinControl& parent, const Layout& layout, const Picture& picture,
              bool visible = true) {
    picture_ = picture;
    visible_ = visible;
    CreateGraphic(&parent, layout);
  }

  const Picture& GetPicture() const { return picture_; }
  void SetPicture(const Picture& picture) {
    if (picture == picture_) return;
    picture_ = picture;
    if (visible_) Invalidate();
  }

  void Paint(HDC dc) override {
    IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
    picture_.Draw(dc, left_, top_);
  }

 private:
  Picture picture_;
};

}  // namespace vemo::ui
