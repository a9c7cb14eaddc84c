// A drive letter of the test's Wine prefix that points at a missing folder, so that the
// drive exists by name but is not ready; removed again afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace vemo::testing {

class UnreadyDrive {
 public:
  UnreadyDrive() {
    DWORD used = GetLogicalDrives();
    for (char c = 'Q'; c <= 'Y' && !letter_; ++c)
      if (!(used & (1u << (c - 'A')))) letter_ = c;
    name_ = std::wstring(1, static_cast<wchar_t>(letter_)) + L":";
    DefineDosDeviceW(0, name_.c_str(), L"C:\\vemo-missing-drive-target");
  }
  ~UnreadyDrive() { DefineDosDeviceW(DDD_REMOVE_DEFINITION, name_.c_str(), nullptr); }
  char Letter() const { return letter_; }
  std::string Root() const { return std::string(1, letter_) + ":\\"; }

 private:
  char letter_ = 0;
  std::wstring name_;
};

}  // namespace vemo::testing
