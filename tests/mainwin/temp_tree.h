// A fresh folder tree under the temporary folder for one test, removed afterwards.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "ui/toolkit/drives.h"
#include "ui/toolkit/text.h"

namespace vemo::testing {

class TempTree {
 public:
  explicit TempTree(const std::string& tag = "tree") {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = ui::drives::ResolveFolder(vemo::ui::Narrow(temp)) + "\\vemo-" + tag + "-" +
            std::to_string(GetCurrentProcessId());
    Remove(root_);
    CreateDirectoryW(vemo::ui::Widen(root_).c_str(), nullptr);
  }
  ~TempTree() { Remove(root_); }
  const std::string& root() const { return root_; }
  std::string Folder(const std::string& relative) {
    std::string path = root_ + "\\" + relative;
    CreateDirectoryW(vemo::ui::Widen(path).c_str(), nullptr);
    return path;
  }
  std::string File(const std::string& relative) {
    std::string path = root_ + "\\" + relative;
    HANDLE file = CreateFileW(vemo::ui::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    CloseHandle(file);
    return path;
  }

 private:
  static void Remove(const std::string& path) {
    std::wstring wide = vemo::ui::Widen(path) + L'\0' + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = wide.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  std::string root_;
};

}  // namespace vemo::testing
