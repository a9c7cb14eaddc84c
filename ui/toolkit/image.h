// A picture drawn on its form at the frame's top-left corner, not stretched, clipped by the
// frame. Images have mouse events (OnMouseDown/OnMouseUp/OnClick of GraphicControl). An image is
// read as a graphic named by its picture; one without a name is decoration and is not read.
// At another DPI the picture is enlarged by the largest whole factor that fits its own scaled
// size (ArtFactor) and centred there: the gap is the same at its left and top, set by its
// height, so pictures of one row stay in line whatever their width. A plain picture (one
// colour) covers its whole scaled size.
#pragma once
#include <oleacc.h>

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

  std::string AccessibleName() const override { return picture_.Name(); }
  long AccessibleRole() const override { return ROLE_SYSTEM_GRAPHIC; }

  void Paint(HDC dc) override {
    RECT frame = PixelRect();
    IntersectClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
    if (picture_.Plain()) {
      picture_.Fill(dc, RECT{frame.left, frame.top, frame.left + Pixels(picture_.Width()),
                             frame.top + Pixels(picture_.Height())});
      return;
    }
    const int factor = ArtFactor(Dpi());
    const int inset = (Pixels(picture_.Height()) - picture_.Height() * factor) / 2;
    picture_.Draw(dc, frame.left + inset, frame.top + inset, factor);
  }

 private:
  Picture picture_;
};

}  // namespace vemo::ui
