// UTF-8 (inside the program) <-> UTF-16 (at the Win32 boundary).
#pragma once
#include <windows.h>

#include <string>

namespace vemo::ui {

inline std::wstring Widen(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), w.data(), n);
  return w;
}

inline std::string Narrow(const wchar_t* w, int len) {
  if (len <= 0) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w, len, nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, len, s.data(), n, nullptr, nullptr);
  return s;
}

inline std::string Narrow(const std::wstring& w) { return Narrow(w.data(), (int)w.size()); }

// The whole text of a window.
inline std::string WindowText(HWND hwnd) {
  int len = GetWindowTextLengthW(hwnd);
  std::wstring w(len + 1, L'\0');
  len = GetWindowTextW(hwnd, w.data(), len + 1);
  return Narrow(w.data(), len);
}

}  // namespace vemo::ui
