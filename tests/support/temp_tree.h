// A folder tree on disk for one test, under the temporary folder, removed again when the test
// ends. Paths are UTF-8 texts with the platform's separators ('/' in a relative path is
// turned into it).
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace vemo::test {

namespace stdfs = std::filesystem;

class TempTree {
 public:
  // The folder is named vemo-TAG-PROCESS-SERIAL; a leftover of that name (from an earlier
  // process that had the same number) is removed first.
  explicit TempTree(const std::string& tag = "tree") {
    static std::atomic<int> serial{0};
    root_ = TempFolder() / stdfs::u8path("vemo-" + tag + "-" + std::to_string(ProcessId()) + "-" +
                                         std::to_string(serial++));
    Remove(root_);
    stdfs::create_directories(root_);
  }
  ~TempTree() { Remove(root_); }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root (rel empty) or a path below it.
  std::string Path(const std::string& rel = "") const {
    return rel.empty() ? root_.u8string() : FsPath(rel).u8string();
  }
  stdfs::path FsPath(const std::string& rel) const {
    return (root_ / stdfs::u8path(rel)).make_preferred();
  }

  // Creates a folder (and its parents).
  std::string Folder(const std::string& rel) const {
    stdfs::create_directories(FsPath(rel));
    return Path(rel);
  }
  // Creates a file with the given contents (and its folder).
  std::string File(const std::string& rel, const std::string& contents = "") const {
    stdfs::path path = FsPath(rel);
    stdfs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return Path(rel);
  }

 private:
#ifdef _WIN32
  static unsigned long ProcessId() { return GetCurrentProcessId(); }
  // The temporary folder in its long form and stored case, as the folder controls show it.
  static stdfs::path TempFolder() {
    wchar_t temp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder(temp, length);
    std::wstring full(32768, L'\0');
    length = GetLongPathNameW(folder.c_str(), full.data(), static_cast<DWORD>(full.size()));
    if (length > 0 && length < full.size()) folder.assign(full.data(), length);
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return stdfs::path(folder);
  }
  // By hand and with the long-path prefix: the shell's delete cuts paths longer than 260
  // characters and then deletes in the current folder instead. Links are removed, not entered.
  static void Remove(const stdfs::path& root) {
    if (root.filename().wstring().rfind(L"vemo-", 0) != 0) return;
    RemoveWide(L"\\\\?\\" + root.wstring());
  }
  static void RemoveWide(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring child = folder + L"\\" + name;
        DWORD attributes = data.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_READONLY)
          SetFileAttributesW(child.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
          DeleteFileW(child.c_str());
        else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
          RemoveDirectoryW(child.c_str());
        else
          RemoveWide(child);
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
  }
#else
  static long ProcessId() { return static_cast<long>(getpid()); }
  static stdfs::path TempFolder() { return stdfs::temp_directory_path(); }
  // Links are removed, not followed; a folder a test left unreadable is opened up first. A tree
  // whose paths pass PATH_MAX is left to rm, which walks it by handles.
  static void Remove(const stdfs::path& root) {
    if (root.filename().string().rfind("vemo-", 0) != 0) return;
    std::error_code ignored;
    stdfs::permissions(root, stdfs::perms::owner_all, stdfs::perm_options::add, ignored);
    for (auto it = stdfs::recursive_directory_iterator(
             root, stdfs::directory_options::skip_permission_denied, ignored);
         it != stdfs::recursive_directory_iterator(); it.increment(ignored))
      if (it->is_directory(ignored) && !it->is_symlink(ignored))
        stdfs::permissions(it->path(), stdfs::perms::owner_all, stdfs::perm_options::add, ignored);
    if (stdfs::remove_all(root, ignored) == static_cast<std::uintmax_t>(-1) ||
        stdfs::exists(root)) {
      const std::string command = "rm -rf -- '" + root.string() + "'";
      if (std::system(command.c_str()) != 0) return;
    }
  }
#endif

  stdfs::path root_;
};

}  // namespace vemo::test
