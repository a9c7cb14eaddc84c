#include "panel.h"

#include "window_text.h"

namespace vemo::ui {

namespace {
const int kBevel = 1;  // pixels of the raised edge, at every DPI
}  // namespace

int Panel::TextRoom() const { return Pixels(width_) - 2 * (kBevel + Pixels(borderWidth_)); }

int Panel::Inset(const std::string& caption) const {
  // A caption that no readable narrowing fits inside the inner border may use the border too.
  std::wstring text = ToWide(caption);
  const int inner = Pixels(borderWidth_);
  if (TextWidth(FittedFont(font_, Dpi(), text, TextRoom()), text) <= TextRoom())
    return kBevel + inner;
  return kBevel;
}

HFONT Panel::FontFor(const std::string& caption) const {
  return FittedFont(font_, Dpi(), ToWide(caption), Pixels(width_) - 2 * Inset(caption));
}

void Panel::PaintWindow(HDC dc, const RECT& client) {
  RECT r = client;
  if (raised_) DrawFrame(dc, r, BDR_RAISEDINNER);
  // The text keeps the inner border at its sides; it is centred on the full height so that
  // it stays readable in a low panel.
  std::string caption = Caption();
  const int inset = Inset(caption);
  RECT textRect{r.left + inset, r.top + kBevel, r.right - inset, r.bottom - kBevel};
  std::wstring text = ToWide(caption);
  HFONT font = FontFor(caption);
  SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, DrawnTextColor());
  UINT align = alignment_ == Alignment::Left    ? DT_LEFT
               : alignment_ == Alignment::Right ? DT_RIGHT
                                                : DT_CENTER;
  if (TextWidth(font, text) > textRect.right - textRect.left) align = DT_LEFT;
  DrawTextW(dc, text.c_str(), (int)text.size(), &textRect,
            DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX | align);
}

}  // namespace vemo::ui
