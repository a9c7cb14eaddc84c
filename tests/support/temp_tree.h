// A folder tree on disk for one test, removed again when the test ends.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace vemo::test {

namespace stdfs = std::filesystem;

class TempTree {
 public:
  TempTree() {
    static std::atomic<int> serial{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = stdfs::temp_directory_path() /
            ("vemo-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    stdfs::create_directories(root_);
  }
  ~TempTree() {
    std::error_code ignored;
    stdfs::permissions(root_, stdfs::perms::owner_all, stdfs::perm_options::add, ignored);
    stdfs::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The UTF-8 text of a path below the root ('/' in rel becomes the platform's separator).
  std::string Path(const std::string& rel = "") const {
    return rel.empty() ? root_.u8string()
                       : (root_ / stdfs::u8path(rel)).make_preferred().u8string();
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
    stdfs::path p = FsPath(rel);
    stdfs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return Path(rel);
  }

 private:
  stdfs::path root_;
};

}  // namespace vemo::test
