#include "memo.h"

#include <commctrl.h>

#include "application.h"
#include "text.h"

namespace vemo::ui {

void Memo::Create(WinControl& parent, const Layout& layout) {
  CreateWindowed(&parent, layout, L"EDIT",
                 WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                     ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_NOHIDESEL);
  SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);  // no limit but memory
  font_.paths = true;                          // the lines name files and folders
  ApplyFont();
  SetWindowSubclass(hwnd_, PaintProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetLines(layout.caption.empty() ? std::vector<std::string>{}
                                  : std::vector<std::string>{layout.caption});
}

void Memo::AppendLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const size_t from = lines_.size();
  lines_.insert(lines_.end(), lines.begin(), lines.end());
  if (!updating_ && shown_ == from) WriteLines(from);
}

std::wstring Memo::Joined(size_t from) const {
  std::wstring text;
  for (size_t i = from; i < lines_.size(); ++i) {
    if (i) text += L"\r\n";
    text += ToWide(lines_[i]);
  }
  return text;
}

void Memo::WriteLines(size_t from) {
  const std::wstring text = Joined(from);
  int end = GetWindowTextLengthW(hwnd_);
  SendMessageW(hwnd_, EM_SETSEL, end, end);
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  shown_ = lines_.size();
  // Keep the newest line in view from its start, not scrolled to the end of a long line.
  int last = (int)SendMessageW(hwnd_, EM_LINEINDEX, shown_ - 1, 0);
  SendMessageW(hwnd_, EM_SETSEL, last, last);
  SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
}

void Memo::Clear() {
  lines_.clear();
  SetWindowTextW(hwnd_, L"");
  shown_ = 0;
}

void Memo::SetLines(const std::vector<std::string>& lines) {
  lines_ = lines;
  if (updating_) {
    SetWindowTextW(hwnd_, L"");
    shown_ = 0;
    return;
  }
  SetWindowTextW(hwnd_, Joined(0).c_str());
  shown_ = lines_.size();
}

void Memo::EndUpdate() {
  if (updating_ > 0) --updating_;
  if (!updating_ && shown_ < lines_.size() && IsWindowVisible(hwnd_))
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Memo::CatchUp() {
  catchUpPosted_ = false;
  // Shown and hidden again at once (as Start does with its window): nothing to write yet.
  if (updating_ || shown_ >= lines_.size() || !IsWindowVisible(hwnd_)) return;
  HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  WriteLines(shown_);
  SetCursor(previous);
}

LRESULT CALLBACK Memo::PaintProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                 DWORD_PTR data) {
  auto* memo = reinterpret_cast<Memo*>(data);
  if (msg == WM_PAINT && !memo->updating_ && memo->shown_ < memo->lines_.size() &&
      !memo->catchUpPosted_) {
    // About to be seen: catch up after this paint, so that a window that is shown and hidden
    // at once does not wait for it.
    memo->catchUpPosted_ = true;
    App().Post([memo] { memo->CatchUp(); });
  }
  return DefSubclassProc(hwnd, msg, wparam, lparam);
}

bool Memo::Reflect(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) {
  // A read-only edit asks for static colours; it keeps the window colour of a text box.
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT)
    return ColorReply(reinterpret_cast<HDC>(wparam), result, COLOR_WINDOW);
  return false;
}

}  // namespace vemo::ui
