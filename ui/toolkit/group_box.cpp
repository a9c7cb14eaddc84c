#include "group_box.h"

#include "window_text.h"

namespace vemo::ui {

void GroupBox::PaintWindow(HDC dc, const RECT& client) {
  SelectObject(dc, DrawnFont());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  RECT frame = client;
  frame.top = tm.tmHeight / 2;
  DrawFrame(dc, frame, EDGE_ETCHED);
  std::wstring text = ToWide(caption_);
  if (text.empty()) return;
  RECT r{Pixels(kCaptionInset), 0, client.right - Pixels(kCaptionInset), tm.tmHeight};
  RECT calc = r;
  DrawTextW(dc, text.c_str(), (int)text.size(), &calc, DT_CALCRECT | DT_SINGLELINE);
  calc.left -= 1;
  calc.right += 1;
  FillRect(dc, &calc, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, DrawnTextColor());
  DrawTextW(dc, text.c_str(), (int)text.size(), &r, DT_SINGLELINE);
}

}  // namespace vemo::ui
