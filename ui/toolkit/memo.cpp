#include "memo.h"

#include <algorithm>
#include <chrono>

#include "application.h"
#include "gdi.h"
#include "window_text.h"

namespace vemo::ui {
namespace {

constexpr uint16_t kUnknownWidth = 0xFFFF;
// The longest a measuring slice keeps the user-interface thread (it looks at the clock every
// kMeasureCheck lines).
constexpr std::chrono::milliseconds kMeasureSliceMs{8};
constexpr size_t kMeasureCheck = 256;

}  // namespace

Memo::~Memo() = default;

void Memo::Create(WinControl& parent, const Layout& layout) {
  Layout window = layout;
  window.caption.clear();  // the lines are the text; the window's own text stays empty
  CreateCustom(parent, window, WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, L"VemoText");
  font_.paths = true;  // the lines name files and folders
  ApplyFont();
  SetLines(layout.caption.empty() ? std::vector<std::string>{}
                                  : std::vector<std::string>{layout.caption});
}

void Memo::AppendLine(std::string_view line) {
  lines_.Append(line);
  Changed();
}

void Memo::AppendLines(const TextLines& lines) {
  if (lines.Empty()) return;
  for (size_t i = 0; i < lines.Count(); ++i) lines_.Append(lines[i]);
  Changed();
}

void Memo::Clear() { SetLines({}); }

void Memo::SetLines(const std::vector<std::string>& lines) {
  lines_.Clear();
  measured_ = 0;
  widest_ = 0;
  top_ = 0;
  left_ = 0;
  for (const std::string& line : lines) lines_.Append(line);
  anchor_ = caret_ = TextPlace{};
  desiredX_ = -1;
  if (!hwnd_) return;
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  PlaceSystemCaret();
}

std::vector<std::string> Memo::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(lines_.Count());
  for (size_t i = 0; i < lines_.Count(); ++i) lines.emplace_back(lines_[i]);
  return lines;
}

std::string Memo::Caption() const {
  std::string text;
  for (size_t i = 0; i < lines_.Count(); ++i) {
    if (i) text += "\r\n";
    text += lines_[i];
  }
  return text;
}

void Memo::Changed() {
  // As an edit box leaves an append: the caret at the start of the newest line, in view.
  anchor_ = caret_ = TextPlace{lines_.Empty() ? 0 : lines_.Count() - 1, 0};
  desiredX_ = -1;
  left_ = 0;
  if (!hwnd_) return;
  EnsureVisible(caret_);
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  PlaceSystemCaret();
  KeepMeasuring();
}

void Memo::FontChanged() {
  gdi::FontDc dc(DrawnFont());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  lineHeight_ = std::max<int>(1, metrics.tmHeight);
  charWidth_ = std::max<int>(1, metrics.tmAveCharWidth);
  margin_ = Pixels(1);  // as an edit box keeps it for this font
  widths_.assign(0x10000, kUnknownWidth);
  measured_ = 0;
  widest_ = 0;
  if (Focused()) ShowSystemCaret();
  UpdateScrollBars();
  ScrollTo(int64_t(top_), left_);
  InvalidateRect(hwnd_, nullptr, FALSE);
  KeepMeasuring();
}

size_t Memo::PageLines() const {
  RECT client{};
  if (hwnd_) GetClientRect(hwnd_, &client);
  return std::max<size_t>(1, size_t(client.bottom) / size_t(lineHeight_));
}

size_t Memo::MaxTop() const {
  const size_t page = PageLines();
  return lines_.Count() > page ? lines_.Count() - page : 0;
}

int Memo::MaxLeft() const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  return std::max(0, widest_ + 2 * margin_ - int(client.right));
}

void Memo::UpdateScrollBars() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  // The bars stay, disabled while everything fits: the box keeps its layout.
  SCROLLINFO vertical{};
  vertical.cbSize = sizeof(SCROLLINFO);
  vertical.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  vertical.nMax = int(std::min<size_t>(std::max<size_t>(lines_.Count(), 1) - 1, INT_MAX));
  vertical.nPage = UINT(PageLines());
  vertical.nPos = int(std::min<size_t>(top_, INT_MAX));
  SetScrollInfo(hwnd_, SB_VERT, &vertical, TRUE);
  SCROLLINFO horizontal = vertical;
  horizontal.nMax = std::max(0, widest_ + 2 * margin_ - 1);
  horizontal.nPage = UINT(std::max<LONG>(client.right, 0));
  horizontal.nPos = left_;
  SetScrollInfo(hwnd_, SB_HORZ, &horizontal, TRUE);
}

void Memo::ScrollTo(int64_t top, int64_t left) {
  const size_t newTop = size_t(std::clamp<int64_t>(top, 0, int64_t(MaxTop())));
  const int newLeft = int(std::clamp<int64_t>(left, 0, MaxLeft()));
  if (newTop == top_ && newLeft == left_) return;
  top_ = newTop;
  left_ = newLeft;
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  PlaceSystemCaret();
}

void Memo::EnsureVisible(TextPlace place) {
  int64_t top = int64_t(top_);
  const int64_t page = int64_t(PageLines());
  if (int64_t(place.line) < top) top = int64_t(place.line);
  if (int64_t(place.line) >= top + page) top = int64_t(place.line) - page + 1;
  // Its line may not have been measured yet: the scroll range takes it in now.
  const int lineWidth = TextX(TextPlace{place.line, SIZE_MAX});
  if (lineWidth > widest_) {
    widest_ = lineWidth;
    UpdateScrollBars();
  }
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int x = TextX(place) + margin_, width = client.right;
  int left = left_;
  // Out of sight to a side: a third of the width beyond it comes into view too.
  if (x < left + margin_) left = std::max(0, x - width / 3);
  if (x > left + width - margin_) left = x - width * 2 / 3;
  ScrollTo(top, left);
}

void Memo::Scroll(int bar, WPARAM request) {
  const bool vertical = bar == SB_VERT;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int64_t position = vertical ? int64_t(top_) : left_;
  const int64_t step = vertical ? 1 : charWidth_;
  const int64_t page = vertical ? std::max<int64_t>(1, int64_t(PageLines()) - 1)
                                : std::max<int64_t>(step, client.right - step);
  int64_t to = position;
  switch (LOWORD(request)) {
    case SB_LINEUP: to -= step; break;
    case SB_LINEDOWN: to += step; break;
    case SB_PAGEUP: to -= page; break;
    case SB_PAGEDOWN: to += page; break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = INT64_MAX / 2; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 32-bit position: the message's own is 16 bits, too few for a long text.
      SCROLLINFO info{};
      info.cbSize = sizeof(SCROLLINFO);
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(hwnd_, bar, &info);
      to = info.nTrackPos;
      break;
    }
    default: return;
  }
  if (vertical)
    ScrollTo(to, left_);
  else
    ScrollTo(int64_t(top_), to);
}

void Memo::Wheel(int& accumulated, int delta, bool horizontal) {
  UINT lines = 3;
  SystemParametersInfoW(horizontal ? SPI_GETWHEELSCROLLCHARS : SPI_GETWHEELSCROLLLINES, 0, &lines,
                        0);
  if (lines == WHEEL_PAGESCROLL) lines = UINT(PageLines());
  if (lines == 0) return;
  accumulated += delta;
  const int steps = accumulated * int(lines) / WHEEL_DELTA;
  if (steps == 0) return;
  accumulated -= steps * WHEEL_DELTA / int(lines);
  if (horizontal)
    ScrollTo(int64_t(top_), int64_t(left_) + int64_t(steps) * charWidth_);
  else
    ScrollTo(int64_t(top_) - steps, left_);
}

void Memo::KeepMeasuring() {
  if (measuring_ || !Measuring() || !hwnd_ || !IsWindowVisible(hwnd_)) return;
  measuring_ = true;
  // After the input and paint that wait: the widths never hold the user up.
  App().PostLater([this, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.expired()) return;
    measuring_ = false;
    MeasureSlice();
  });
}

void Memo::MeasureSlice() {
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;  // the next paint goes on
  const auto until = std::chrono::steady_clock::now() + kMeasureSliceMs;
  int widest = widest_;
  {
    gdi::FontDc dc(DrawnFont());
    while (measured_ < lines_.Count()) {
      widest = std::max(widest, MeasureLine(dc.Get(), lines_[measured_++]));
      if (measured_ % kMeasureCheck == 0 && std::chrono::steady_clock::now() > until) break;
    }
  }
  if (widest != widest_) {
    widest_ = widest;
    UpdateScrollBars();
  }
  KeepMeasuring();
}

int Memo::MeasureLine(HDC dc, std::string_view line) {
  const std::wstring text = ToWide(line);
  int width = 0;
  for (wchar_t c : text) {
    if (c >= 0xD800 && c <= 0xDFFF) {
      // Beyond the table's plane: the whole line as drawn.
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
      return size.cx;
    }
    uint16_t& known = widths_[c];
    if (known == kUnknownWidth) {
      // The widths of its 256 neighbours at once: one call serves a script's characters.
      const UINT first = c & 0xFF00u;
      INT block[256];
      if (!GetCharWidth32W(dc, first, first + 255, block))
        std::fill(block, block + 256, charWidth_);
      for (int i = 0; i < 256; ++i) widths_[first + i] = uint16_t(std::clamp(block[i], 0, 0xFFFE));
    }
    width += known;
  }
  return width;
}

void Memo::PaintWindow(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  SelectObject(dc, DrawnFont());
  SetBkMode(dc, TRANSPARENT);
  const TextPlace from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
  const size_t last = std::min(lines_.Count(), top_ + PageLines() + 1);
  for (size_t line = top_; line < last; ++line) {
    const std::wstring text = ToWide(lines_[line]);
    const int x = margin_ - left_, y = int(line - top_) * lineHeight_;
    // Within the margins, as an edit box's text: a long line ends a margin before the edge.
    RECT row{client.left + margin_, y, client.right - margin_, y + lineHeight_};
    SetTextColor(dc, TextColor(font_, COLOR_WINDOW));
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &row, text.c_str(), UINT(text.size()), nullptr);
    if (from == to || line < from.line || line > to.line) continue;
    // The selected part again, in the selection's colours over its background.
    const size_t start = line == from.line ? std::min(from.column, text.size()) : 0;
    const size_t end = line == to.line ? std::min(to.column, text.size()) : text.size();
    if (start >= end) continue;
    SIZE before{}, through{};
    GetTextExtentPoint32W(dc, text.c_str(), int(start), &before);
    GetTextExtentPoint32W(dc, text.c_str(), int(end), &through);
    RECT selected{std::max<LONG>(x + before.cx, row.left), y,
                  std::min<LONG>(x + through.cx, row.right), y + lineHeight_};
    if (selected.left >= selected.right) continue;
    FillRect(dc, &selected, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &selected, text.c_str(), UINT(text.size()), nullptr);
  }
  KeepMeasuring();  // shown: the widths of what came meanwhile
}

}  // namespace vemo::ui
