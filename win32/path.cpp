#include "win32/path.h"

#include <windows.h>

#include "win32/text.h"

namespace vemo::win32 {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring FullPath(std::wstring_view text) {
  if (text.empty()) return {};
  const std::wstring path(text);
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) return {};
  full.resize(size);
  return full;
}

std::wstring LiteralPath(std::wstring_view fullPath) {
  if (StartsWith(fullPath, L"\\\\?\\")) return std::wstring(fullPath);
  if (StartsWith(fullPath, L"\\\\.\\")) {
    // "\\.\C:\..." is a drive path written the long way; anything else there is a device.
    std::wstring_view rest = fullPath.substr(4);
    if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == L':')
      return L"\\\\?\\" + std::wstring(rest);
    return {};
  }
  if (StartsWith(fullPath, L"\\\\")) return L"\\\\?\\UNC\\" + std::wstring(fullPath.substr(2));
  if (fullPath.size() >= 3 && IsDriveLetter(fullPath[0]) && fullPath[1] == L':' &&
      fullPath[2] == L'\\')
    return L"\\\\?\\" + std::wstring(fullPath);
  return {};  // not a full path
}

std::string ResolveFolderText(const std::string& text) {
  return ToUtf8(LiteralPath(FullPath(ToWide(text))));
}

}  // namespace vemo::win32
