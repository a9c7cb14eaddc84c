#include "label.h"

#include <algorithm>

#include "text.h"

namespace vemo::ui {

RECT Label::TextRect() const {
  RECT r{left_, top_, left_ + width_, top_ + height_};
  std::wstring text = ToWide(caption_);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont(font_));
  RECT calc{left_, top_, left_, top_};
  DrawTextW(dc, text.c_str(), (int)text.size(), &calc, DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  r.right = std::max(r.right, calc.right);
  r.bottom = std::max(r.bottom, calc.bottom);
  return r;
}

RECT Label::DrawnRect() const {
  return autoSize_ ? TextRect() : RECT{left_, top_, left_ + width_, top_ + height_};
}

void Label::Paint(HDC dc) {
  RECT r = DrawnRect();
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, GetFont(font_));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled_ ? TextColor(font_) : GetSysColor(COLOR_GRAYTEXT));
  std::wstring text = ToWide(caption_);
  UINT flags = DT_EXPANDTABS | DT_LEFT | (autoSize_ ? DT_NOCLIP : 0);
  DrawTextW(dc, text.c_str(), (int)text.size(), &r, flags);
}

}  // namespace vemo::ui
