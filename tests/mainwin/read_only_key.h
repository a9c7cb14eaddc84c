// A registry key that the user may read but not change, as an administrator may leave it: its
// access list grants reading alone until the object goes, which puts the old list back (the
// key's owner may always do that).
#pragma once

#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vemo::testing {

class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(std::string path) : path_(Wide(path)) {
    HKEY key = Opened();
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    EXPECT_EQ(RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    LocalFree(readOnly);
    RegCloseKey(key);
  }
  ~ReadOnlyKey() {
    HKEY key = Opened();
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data());
    RegCloseKey(key);
  }
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

 private:
  static std::wstring Wide(const std::string& path) {
    return std::wstring(path.begin() + path.find_first_not_of('\\'), path.end());
  }
  HKEY Opened() const {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, READ_CONTROL | WRITE_DAC, &key),
              ERROR_SUCCESS);
    return key;
  }

  std::wstring path_;
  std::vector<BYTE> saved_;
};

}  // namespace vemo::testing
