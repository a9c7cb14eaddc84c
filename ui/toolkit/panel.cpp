#include "panel.h"

#include "text.h"

namespace vemo::ui {

void Panel::PaintWindow(HDC dc, const RECT& client) {
  RECT r = client;
  if (raised_) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  // The text keeps the inner border at its sides; it is centred on the full height so that
  // it stays readable in a low panel.
  RECT textRect{r.left + 1 + borderWidth_, r.top + 1, r.right - 1 - borderWidth_, r.bottom - 1};
  std::wstring text = ToWide(Caption());
  SelectObject(dc, GetFont(font_));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled_ ? TextColor(font_) : GetSysColor(COLOR_GRAYTEXT));
  UINT align = alignment_ == Alignment::Left    ? DT_LEFT
               : alignment_ == Alignment::Right ? DT_RIGHT
                                                : DT_CENTER;
  DrawTextW(dc, text.c_str(), (int)text.size(), &textRect,
            DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX | align);
}

}  // namespace vemo::ui
