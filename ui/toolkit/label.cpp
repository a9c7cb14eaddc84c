#include "label.h"

#include <algorithm>

#include "gdi.h"
#include "window_text.h"

namespace vemo::ui {

HFONT Label::DrawnFont() const {
  return FittedFont(font_, Dpi(), ShownText(caption_), Pixels(width_));
}

RECT Label::TextRect() const {
  RECT r = PixelRect();
  std::wstring text = ToWide(caption_);
  const gdi::WindowDc screen;
  const gdi::Selection font(screen.Get(), DrawnFont());
  RECT calc{r.left, r.top, r.left, r.top};
  DrawTextW(screen.Get(), text.c_str(), (int)text.size(), &calc, DT_CALCRECT | DT_EXPANDTABS);
  r.right = std::max(r.right, calc.right);
  r.bottom = std::max(r.bottom, calc.bottom);
  return r;
}

RECT Label::DrawnRect() const { return autoSize_ ? TextRect() : PixelRect(); }

void Label::Paint(HDC dc) {
  RECT r = DrawnRect();
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, DrawnFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, DrawnTextColor());
  std::wstring text = ToWide(caption_);
  UINT flags = DT_EXPANDTABS | DT_LEFT | (autoSize_ ? DT_NOCLIP : 0);
  DrawTextW(dc, text.c_str(), (int)text.size(), &r, flags);
}

}  // namespace vemo::ui
