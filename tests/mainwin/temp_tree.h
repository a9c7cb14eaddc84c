// A fresh folder tree under the temporary folder for one test, removed afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "ui/toolkit/drives.h"
#include "ui/toolkit/text.h"

namespace vemo::testing {

class TempTree {
 public:
  explicit TempTree(const std::string& tag = "tree") {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = ui::drives::ResolveFolder(vemo::ToUtf8(temp)) + "\\vemo-" + tag + "-" +
            std::to_string(GetCurrentProcessId());
    Remove(root_);
    CreateDirectoryW(vemo::ToWide(root_).c_str(), nullptr);
  }
  ~TempTree() { Remove(root_); }
  const std::string& Root() const { return root_; }
  std::string Folder(const std::string& relative) {
    std::string path = root_ + "\\" + relative;
    CreateDirectoryW(vemo::ToWide(path).c_str(), nullptr);
    return path;
  }
  std::string File(const std::string& relative) {
    std::string path = root_ + "\\" + relative;
    HANDLE file = CreateFileW(vemo::ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    CloseHandle(file);
    return path;
  }

 private:
  // Removes a tree by hand, with the long-path prefix: the shell's own delete cuts paths
  // longer than 260 characters and then deletes in the current folder instead.
  static void Remove(const std::string& path) {
    if (path.size() < 4 || path[1] != ':' || path.find("\\vemo-") == std::string::npos) return;
    RemoveWide(L"\\\\?\\" + vemo::ToWide(path));
  }
  static void RemoveWide(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring child = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveWide(child);
        else
          DeleteFileW(child.c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
  }
  std::string root_;
};

}  // namespace vemo::testing
