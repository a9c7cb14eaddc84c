// A fresh folder tree under the temporary folder for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace vemo::testing {

class FolderTree {
 public:
  explicit FolderTree(const std::string& tag) {
    root_ = std::filesystem::temp_directory_path() /
            ("vemo-run-" + tag + "-" + std::to_string(std::rand()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  ~FolderTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  // Creates the file (and its folders) with the given content; returns its path.
  std::string File(const std::string& relative, const std::string& content) {
    std::filesystem::path path = root_ / std::filesystem::u8path(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.u8string();
  }
  std::string Folder(const std::string& relative) {
    std::filesystem::path path = root_ / std::filesystem::u8path(relative);
    std::filesystem::create_directories(path);
    return path.u8string();
  }

 private:
  std::filesystem::path root_;
};

}  // namespace vemo::testing
