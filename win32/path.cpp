#include "win32/path.h"

#include <windows.h>

#include <algorithm>

#include "win32/text.h"

namespace vemo::win32 {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "C:\..." or "\\server\share...", with either separator, and no "." or ".." among its names:
// a text that already says where it is, name by name.
bool IsPlainAbsolute(const std::wstring& path) {
  const bool drive =
      path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
  const bool share =
      StartsWith(path, L"\\\\") && !StartsWith(path, L"\\\\?\\") && !StartsWith(path, L"\\\\.\\");
  if (!drive && !share) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring_view name(path.data() + start, end - start);
    if (name == L"." || name == L"..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::wstring FullPath(std::wstring_view text) {
  if (text.empty()) return {};
  std::wstring path(text);
  // A full text that names something exactly as written is that thing, even where Windows'
  // parsing would trim a trailing dot or space or take a name for a device: a folder picked
  // in the folder list or dropped from the shell comes back as its own name.
  std::wstring separators = path;
  std::replace(separators.begin(), separators.end(), L'/', L'\\');
  if (IsPlainAbsolute(separators)) {
    const std::wstring literal = LiteralPath(separators);
    if (!literal.empty() && GetFileAttributesW(literal.c_str()) != INVALID_FILE_ATTRIBUTES)
      return separators;
  }
  // Windows takes a last name such as CON or NUL for a device wherever the folder is: one more
  // "." after it keeps it a name ("A\dev\CON\." is the folder CON in A\dev).
  const wchar_t last = path.back();
  const bool keepName = last != L'\\' && last != L'/' && last != L':';
  if (keepName) path += L"\\.";
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) return {};
  full.resize(size);
  // "\\server\share\." comes back with the separator the "." left; a drive's root keeps its own.
  if (keepName && full.size() > 3 && full.back() == L'\\') full.pop_back();
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

bool EndsInSeparator(std::string_view path) {
  return !path.empty() && (path.back() == '\\' || path.back() == ':');
}

std::string Join(const std::string& folder, const std::string& name) {
  return EndsInSeparator(folder) ? folder + name : folder + "\\" + name;
}

bool SamePath(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace vemo::win32
