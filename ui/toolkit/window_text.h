// Window texts in UTF-8; the conversions themselves are the program's one pair (win32/text.h).
#pragma once
#include <windows.h>

#include <string>

#include "win32/text.h"

namespace vemo::ui {

// The whole text of a window.
inline std::string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(length + 1, L'\0');
  length = GetWindowTextW(hwnd, text.data(), length + 1);
  return ToUtf8(std::wstring_view(text.data(), length));
}

}  // namespace vemo::ui
