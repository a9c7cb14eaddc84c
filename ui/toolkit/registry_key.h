// An open registry key: opened or created once, closed when the object goes.
// Names and texts are UTF-8; every call is the W form, so any character is stored as itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace vemo::ui {

// A registry call that failed, or a value that is absent or of another type.
// The text names the value (or the key) and carries no closing period: the
// general error report adds one.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RegistryKey {
 public:
  // Opens an existing key to read it (KEY_READ: a key the user may only read opens too);
  // nothing when it does not exist. A leading backslash of the path is allowed (the path is
  // always taken from the root).
  static std::optional<RegistryKey> Open(HKEY root, const std::string& path);
  // Opens the key to read and write its values (KEY_READ | KEY_WRITE, nothing more), creating
  // it and every missing key above it.
  static RegistryKey Create(HKEY root, const std::string& path);
  // Removes the key with everything below it; true when it is gone afterwards.
  static bool DeleteTree(HKEY root, const std::string& path);

  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey();

  bool HasValue(const std::string& name) const;
  // REG_SZ or REG_EXPAND_SZ (not expanded), with or without a terminating zero.
  // Throws when the value is absent or of another type.
  std::string ReadString(const std::string& name) const;
  // The same, but an absent value reads as an empty text (another type still throws).
  std::string ReadStringOrEmpty(const std::string& name) const;
  // REG_DWORD as a signed 32-bit number; throws when absent or of another type.
  int32_t ReadInt(const std::string& name) const;

  // REG_SZ, written with its terminating zero.
  void WriteString(const std::string& name, const std::string& text);
  void WriteInt(const std::string& name, int32_t value);

  HKEY Handle() const { return key_; }

 private:
  RegistryKey(HKEY key, std::string path) : key_(key), path_(std::move(path)) {}
  // Type and size of a value; nothing when it is absent.
  std::optional<std::pair<DWORD, DWORD>> Query(const std::string& name) const;

  HKEY key_ = nullptr;
  std::string path_;
};

}  // namespace vemo::ui
