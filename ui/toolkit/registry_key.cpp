#include "registry_key.h"

#include <vector>

#include "window_text.h"

namespace vemo::ui {
namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string SystemText(LONG code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' ||
                           text.back() == L' '))
    text.pop_back();
  if (text.empty()) return "error " + std::to_string(code);
  return ToUtf8(text);
}

[[noreturn]] void Fail(const std::string& what, LONG code) {
  throw RegistryError(what + ": " + SystemText(code));
}

std::wstring KeyPath(const std::string& path) {
  std::wstring wide = ToWide(path);
  size_t start = wide.find_first_not_of(L'\\');
  return start == std::wstring::npos ? std::wstring() : wide.substr(start);
}

}  // namespace

std::optional<RegistryKey> RegistryKey::Open(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(root, KeyPath(path).c_str(), 0, KEY_READ, &key);
  if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return std::nullopt;
  if (rc != ERROR_SUCCESS) Fail("Cannot open the registry key " + Quoted(path), rc);
  return RegistryKey(key, path);
}

RegistryKey RegistryKey::Create(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(root, KeyPath(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) Fail("Cannot create the registry key " + Quoted(path), rc);
  return RegistryKey(key, path);
}

bool RegistryKey::DeleteTree(HKEY root, const std::string& path) {
  LONG rc = RegDeleteTreeW(root, KeyPath(path).c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND;
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : key_(other.key_), path_(std::move(other.path_)) {
  other.key_ = nullptr;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    if (key_) RegCloseKey(key_);
    key_ = other.key_;
    path_ = std::move(other.path_);
    other.key_ = nullptr;
  }
  return *this;
}

RegistryKey::~RegistryKey() {
  if (key_) RegCloseKey(key_);
}

std::optional<std::pair<DWORD, DWORD>> RegistryKey::Query(const std::string& name) const {
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExW(key_, ToWide(name).c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
    Fail("Cannot read the registry value " + Quoted(name), rc);
  return std::make_pair(type, size);
}

bool RegistryKey::HasValue(const std::string& name) const { return Query(name).has_value(); }

std::string RegistryKey::ReadString(const std::string& name) const {
  if (!HasValue(name)) throw RegistryError("The registry value " + Quoted(name) + " is absent");
  return ReadStringOrEmpty(name);
}

std::string RegistryKey::ReadStringOrEmpty(const std::string& name) const {
  std::wstring wideName = ToWide(name);
  for (;;) {  // the value may grow between the size query and the read
    auto info = Query(name);
    if (!info) return std::string();
    if (info->first != REG_SZ && info->first != REG_EXPAND_SZ)
      throw RegistryError("The registry value " + Quoted(name) + " is not a text");
    DWORD size = info->second;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD type = 0;
    LONG rc = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) Fail("Cannot read the registry value " + Quoted(name), rc);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
      throw RegistryError("The registry value " + Quoted(name) + " is not a text");
    size_t count = size / sizeof(wchar_t);
    std::wstring text(data.data(), count);
    size_t zero = text.find(L'\0');  // a stored terminating zero is not part of the text
    if (zero != std::wstring::npos) text.resize(zero);
    return ToUtf8(text);
  }
}

int32_t RegistryKey::ReadInt(const std::string& name) const {
  DWORD type = 0, value = 0, size = sizeof(value);
  LONG rc = RegQueryValueExW(key_, ToWide(name).c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size);
  if (rc == ERROR_FILE_NOT_FOUND)
    throw RegistryError("The registry value " + Quoted(name) + " is absent");
  if ((rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) && type != REG_DWORD)
    throw RegistryError("The registry value " + Quoted(name) + " is not a REG_DWORD number");
  if (rc != ERROR_SUCCESS) Fail("Cannot read the registry value " + Quoted(name), rc);
  if (size != sizeof(value))
    throw RegistryError("The registry value " + Quoted(name) + " is not a REG_DWORD number");
  return static_cast<int32_t>(value);
}

void RegistryKey::WriteString(const std::string& name, const std::string& text) {
  std::wstring wide = ToWide(text);
  LONG rc = RegSetValueExW(key_, ToWide(name).c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(wide.c_str()),
                           static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  if (rc != ERROR_SUCCESS) Fail("Cannot write the registry value " + Quoted(name), rc);
}

void RegistryKey::WriteInt(const std::string& name, int32_t value) {
  DWORD data = static_cast<DWORD>(value);
  LONG rc = RegSetValueExW(key_, ToWide(name).c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&data), sizeof(data));
  if (rc != ERROR_SUCCESS) Fail("Cannot write the registry value " + Quoted(name), rc);
}

}  // namespace vemo::ui
