// The path of a known folder of the shell (Start menu, Program Files, local application data),
// or "" when the system has none. Header only: its users link shell32 and ole32 themselves.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <knownfolders.h>

#include <string>

namespace vemo::win32 {

inline std::wstring KnownFolderPath(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

}  // namespace vemo::win32
