// The text box's caret and selection, and what the user does with them (memo.h).
#include <windowsx.h>

#include <algorithm>

#include "accessible.h"
#include "application.h"
#include "gdi.h"
#include "memo.h"
#include "window_text.h"

namespace vemo::ui {
namespace {

constexpr UINT_PTR kDragTimer = 1;  // scrolls on while a drag holds the mouse beyond the box
constexpr UINT kDragEveryMs = 50;
enum MenuCommand : UINT { kCopyCommand = 1, kSelectAllCommand };

bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool LowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::wstring Memo::WideLine(size_t line) const {
  return line < lines_.Count() ? ToWide(lines_[line]) : std::wstring();
}

TextPlace Memo::End() const {
  if (lines_.Empty()) return TextPlace{};
  return TextPlace{lines_.Count() - 1, LineLength(lines_.Count() - 1)};
}

TextPlace Memo::Clamped(TextPlace place) const {
  if (lines_.Empty()) return TextPlace{};
  place.line = std::min(place.line, lines_.Count() - 1);
  place.column = std::min(place.column, LineLength(place.line));
  return place;
}

int Memo::TextX(TextPlace place) const {
  const std::wstring text = WideLine(place.line);
  const gdi::WindowDc dc(hwnd_);
  const gdi::Selection font(dc.Get(), DrawnFont());
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), int(std::min(place.column, text.size())), &size);
  return size.cx;
}

TextPlace Memo::PlaceAt(POINT at) const {
  if (lines_.Empty()) return TextPlace{};
  const int64_t row = at.y < 0 ? (at.y + 1) / lineHeight_ - 1 : at.y / lineHeight_;
  TextPlace place;
  place.line = size_t(std::clamp<int64_t>(int64_t(top_) + row, 0, int64_t(lines_.Count()) - 1));
  const std::wstring text = WideLine(place.line);
  if (text.empty()) return place;
  // The boundary between characters nearest to the point.
  std::vector<INT> ends(text.size());
  SIZE size{};
  {
    const gdi::WindowDc dc(hwnd_);
    const gdi::Selection font(dc.Get(), DrawnFont());
    GetTextExtentExPointW(dc.Get(), text.c_str(), int(text.size()), 0, nullptr, ends.data(), &size);
  }
  const int x = at.x - margin_ + left_;
  int previous = 0;
  place.column = text.size();
  for (size_t i = 0; i < text.size(); ++i) {
    if (x < (previous + ends[i]) / 2 && !LowSurrogate(text[i])) {
      place.column = i;
      break;
    }
    previous = ends[i];
  }
  return place;
}

TextPlace Memo::CharStep(TextPlace from, bool forward) const {
  const std::wstring text = WideLine(from.line);
  if (forward) {
    if (from.column >= text.size())
      return from.line + 1 < lines_.Count() ? TextPlace{from.line + 1, 0} : from;
    ++from.column;
    if (from.column < text.size() && LowSurrogate(text[from.column])) ++from.column;
    return from;
  }
  if (from.column == 0)
    return from.line > 0 ? TextPlace{from.line - 1, LineLength(from.line - 1)} : from;
  --from.column;
  if (from.column > 0 && LowSurrogate(text[from.column])) --from.column;
  return from;
}

// Words as an edit box has them: runs of characters between blanks.
TextPlace Memo::WordStep(TextPlace from, bool forward) const {
  const std::wstring text = WideLine(from.line);
  size_t at = std::min(from.column, text.size());
  if (forward) {
    if (at >= text.size()) return CharStep(from, true);
    while (at < text.size() && !Blank(text[at])) ++at;
    while (at < text.size() && Blank(text[at])) ++at;
  } else {
    if (at == 0) return CharStep(from, false);
    while (at > 0 && Blank(text[at - 1])) --at;
    while (at > 0 && !Blank(text[at - 1])) --at;
  }
  return TextPlace{from.line, at};
}

TextPlace Memo::LineStep(int64_t lines) {
  if (desiredX_ < 0) desiredX_ = TextX(caret_);
  const int64_t line = std::clamp<int64_t>(int64_t(caret_.line) + lines, 0,
                                           std::max<int64_t>(int64_t(lines_.Count()) - 1, 0));
  // The place on that line nearest to the x the caret keeps to.
  const int64_t rows = line - int64_t(top_);
  POINT at{desiredX_ + margin_ - left_, LONG(rows * lineHeight_)};
  TextPlace place = PlaceAt(at);
  place.line = size_t(line);
  return Clamped(place);
}

void Memo::MoveCaret(TextPlace to, bool extend, bool keepX) {
  const size_t lineBefore = caret_.line;
  caret_ = Clamped(to);
  if (!extend) anchor_ = caret_;
  if (!keepX) desiredX_ = -1;
  EnsureVisible(caret_);
  InvalidateRect(hwnd_, nullptr, FALSE);
  PlaceSystemCaret();
  if (caret_.line != lineBefore)
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void Memo::Select(TextPlace anchor, TextPlace caret) {
  MoveCaret(anchor, false);
  MoveCaret(caret, true);
}

void Memo::SelectAll() { Select(TextPlace{}, End()); }

std::wstring Memo::SelectedWide() const {
  const TextPlace from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
  std::wstring text;
  for (size_t line = from.line; line <= to.line && line < lines_.Count(); ++line) {
    const std::wstring whole = WideLine(line);
    const size_t start = line == from.line ? std::min(from.column, whole.size()) : 0;
    const size_t end = line == to.line ? std::min(to.column, whole.size()) : whole.size();
    if (line != from.line) text += L"\r\n";
    text.append(whole, start, end - std::min(start, end));
  }
  return text;
}

std::string Memo::SelectedText() const { return ToUtf8(SelectedWide()); }

void Memo::CopySelection() const {
  if (anchor_ == caret_) return;
  const std::wstring text = SelectedWide();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (!OpenClipboard(hwnd_)) return;
  EmptyClipboard();
  // Without the memory for it the clipboard stays empty, as the user will see on pasting.
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

std::string Memo::AccessibleValue() const {
  return caret_.line < lines_.Count() ? std::string(lines_[caret_.line]) : std::string();
}

void Memo::ShowSystemCaret() {
  DWORD width = 1;
  SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0);
  CreateCaret(hwnd_, nullptr, int(std::max<DWORD>(width, 1)), lineHeight_);
  PlaceSystemCaret();
  ShowCaret(hwnd_);
}

void Memo::PlaceSystemCaret() const {
  if (!hwnd_ || GetFocus() != hwnd_) return;
  const bool inView = caret_.line >= top_ && caret_.line <= top_ + PageLines();
  // Out of view it waits beyond the box, as an edit box's does.
  if (!inView) {
    SetCaretPos(-lineHeight_ * 4, -lineHeight_ * 4);
    return;
  }
  SetCaretPos(margin_ - left_ + TextX(caret_), int(caret_.line - top_) * lineHeight_);
}

bool Memo::KeyDown(WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const int64_t page = std::max<int64_t>(1, int64_t(PageLines()) - 1);
  switch (key) {
    case VK_LEFT: MoveCaret(ctrl ? WordStep(caret_, false) : CharStep(caret_, false), shift); break;
    case VK_RIGHT: MoveCaret(ctrl ? WordStep(caret_, true) : CharStep(caret_, true), shift); break;
    case VK_UP: MoveCaret(LineStep(-1), shift, true); break;
    case VK_DOWN: MoveCaret(LineStep(1), shift, true); break;
    case VK_PRIOR:
    case VK_NEXT: {
      const int64_t lines = key == VK_PRIOR ? -page : page;
      const TextPlace to = LineStep(lines);
      ScrollTo(int64_t(top_) + lines, left_);
      MoveCaret(to, shift, true);
      break;
    }
    case VK_HOME: MoveCaret(ctrl ? TextPlace{} : TextPlace{caret_.line, 0}, shift); break;
    case VK_END: MoveCaret(ctrl ? End() : TextPlace{caret_.line, SIZE_MAX}, shift); break;
    case 'A':
      if (!ctrl) return false;
      SelectAll();
      break;
    case 'C':
    case VK_INSERT:
      if (!ctrl) return false;
      CopySelection();
      break;
    default: return false;
  }
  return true;
}

void Memo::MouseDown(POINT at, bool shift) {
  ::SetFocus(hwnd_);
  MoveCaret(PlaceAt(at), shift);
  dragging_ = true;
  SetCapture(hwnd_);
  SetTimer(hwnd_, kDragTimer, kDragEveryMs, nullptr);
}

void Memo::DragTo(POINT at) {
  if (dragging_) MoveCaret(PlaceAt(at), true);
}

void Memo::SelectWordAt(POINT at) {
  const TextPlace place = PlaceAt(at);
  const std::wstring text = WideLine(place.line);
  size_t start = std::min(place.column, text.size()), end = start;
  const bool blank = end < text.size() && Blank(text[end]);
  while (start > 0 && Blank(text[start - 1]) == blank) --start;
  while (end < text.size() && Blank(text[end]) == blank) ++end;
  Select(TextPlace{place.line, start}, TextPlace{place.line, end});
}

void Memo::ContextMenu(POINT at) {
  if (at.x == -1 && at.y == -1) {  // from the keyboard: at the caret
    at = POINT{margin_ - left_ + TextX(caret_), int(caret_.line - top_ + 1) * lineHeight_};
    ClientToScreen(hwnd_, &at);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING | (anchor_ == caret_ ? MF_GRAYED : 0), kCopyCommand,
              L"&Copy\tCtrl+C");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | (lines_.Empty() ? MF_GRAYED : 0), kSelectAllCommand,
              L"Select &All\tCtrl+A");
  const UINT command =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  DestroyMenu(menu);
  if (command == kCopyCommand) CopySelection();
  if (command == kSelectAllCommand) SelectAll();
}

bool Memo::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  result = 0;
  const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  switch (msg) {
    case WM_SETFONT: FontChanged(); return false;  // the control's own handling repaints
    case WM_SIZE:
      UpdateScrollBars();
      ScrollTo(int64_t(top_), left_);  // within the new range
      return false;
    case WM_GETDLGCODE: result = DLGC_WANTARROWS | DLGC_WANTCHARS; return true;
    case WM_SETFOCUS: ShowSystemCaret(); return true;
    case WM_KILLFOCUS: DestroyCaret(); return true;
    case WM_KEYDOWN: return KeyDown(wparam);
    case WM_CHAR: return true;  // read-only
    case WM_LBUTTONDOWN: MouseDown(at, wparam & MK_SHIFT); return true;
    case WM_LBUTTONDBLCLK: SelectWordAt(at); return true;
    case WM_MOUSEMOVE: DragTo(at); return true;
    case WM_LBUTTONUP:
      if (dragging_) ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      KillTimer(hwnd_, kDragTimer);
      return true;
    case WM_TIMER: {
      if (wparam != kDragTimer) return false;
      POINT cursor;
      GetCursorPos(&cursor);
      ScreenToClient(hwnd_, &cursor);
      DragTo(cursor);
      return true;
    }
    case WM_CONTEXTMENU: ContextMenu(at); return true;
    case WM_VSCROLL:
    case WM_HSCROLL: Scroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, wparam); return true;
    case WM_MOUSEWHEEL: Wheel(wheel_, GET_WHEEL_DELTA_WPARAM(wparam), false); return true;
    case WM_MOUSEHWHEEL: Wheel(horizontalWheel_, GET_WHEEL_DELTA_WPARAM(wparam), true); return true;
    case WM_COPY: CopySelection(); return true;
    case EM_GETLINECOUNT:  // an empty box shows one empty line
      result = LRESULT(std::clamp<size_t>(lines_.Count(), 1, INT_MAX));
      return true;
    case EM_GETFIRSTVISIBLELINE: result = LRESULT(std::min<size_t>(top_, INT_MAX)); return true;
  }
  return false;
}

}  // namespace vemo::ui
