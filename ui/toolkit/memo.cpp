#include "memo.h"

#include "text.h"

namespace vemo::ui {

void Memo::Create(WinControl& parent, const Layout& layout) {
  CreateWindowed(&parent, layout, L"EDIT",
                 WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                     ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_NOHIDESEL);
  SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);  // no limit but memory
  font_.paths = true;                          // the lines name files and folders
  ApplyFont();
  SetLines(layout.caption.empty() ? std::vector<std::string>{}
                                  : std::vector<std::string>{layout.caption});
}

void Memo::AppendLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  std::wstring text;
  bool first = lineCount_ == 0;
  for (const std::string& line : lines) {
    if (!first) text += L"\r\n";
    first = false;
    text += ToWide(line);
  }
  int end = GetWindowTextLengthW(hwnd_);
  SendMessageW(hwnd_, EM_SETSEL, end, end);
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  lineCount_ += (int)lines.size();
  // Keep the newest line in view from its start, not scrolled to the end of a long line.
  int last = (int)SendMessageW(hwnd_, EM_LINEINDEX, lineCount_ - 1, 0);
  SendMessageW(hwnd_, EM_SETSEL, last, last);
  SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
}

void Memo::Clear() {
  SetWindowTextW(hwnd_, L"");
  lineCount_ = 0;
}

void Memo::SetLines(const std::vector<std::string>& lines) {
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += L"\r\n";
    text += ToWide(lines[i]);
  }
  SetWindowTextW(hwnd_, text.c_str());
  lineCount_ = (int)lines.size();
}

std::vector<std::string> Memo::Lines() const {
  std::vector<std::string> lines;
  if (lineCount_ == 0) return lines;
  std::string text = WindowText(hwnd_);
  size_t start = 0;
  for (;;) {
    size_t at = text.find("\r\n", start);
    if (at == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  return lines;
}

bool Memo::Reflect(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) {
  // A read-only edit asks for static colours; it keeps the window colour of a text box.
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT)
    return ColorReply(reinterpret_cast<HDC>(wparam), result, COLOR_WINDOW);
  return false;
}

}  // namespace vemo::ui
