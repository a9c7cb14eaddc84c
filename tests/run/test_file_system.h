// The platform's file system with something changed for a test: a failure injected into a
// listing, folders whose listing is made up (many names, without touching the disk), or a slow
// drive.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/file_system.h"

namespace vemo::testing {

class TestFileSystem : public FileSystem {
  static constexpr FileHandle kEmptyFile = -2;

 public:
  explicit TestFileSystem(FileSystem& real) : real_(real) {}

  std::function<void(const std::string& folder)> onList;  // before each listing; may throw
  std::function<void(const std::string& path)> onOpen;    // before each open of a file
  // A folder whose path ends in `suffix` lists `count` one-byte files named prefix + 6 digits.
  struct MadeUp {
    std::string suffix, prefix;
    int count;
  };
  std::vector<MadeUp> madeUp;
  // Files read as empty (both sides of an equal pair of big files: the same findings, at once).
  std::function<bool(const std::string& path)> readsEmpty;
  // Every open of a folder or a file waits this long first, as on a drive far away.
  std::chrono::microseconds openDelay{0};

  char Separator() const override { return real_.Separator(); }
  bool EndsInSeparator(std::string_view path) const override { return real_.EndsInSeparator(path); }
  std::string ResolveFolder(const std::string& text) override { return real_.ResolveFolder(text); }
  ListStatus OpenFolder(FolderHandle parent, std::string_view name, FolderHandle& folder) override {
    Wait();
    const ListStatus status = real_.OpenFolder(parent, name, folder);
    if (status == ListStatus::Ok) {
      std::string path = PathOf(parent, name);
      std::lock_guard<std::mutex> lock(mutex_);
      paths_[folder] = std::move(path);
      folderOpeners_.insert(std::this_thread::get_id());
    }
    return status;
  }
  // The folders open now, and how many threads have opened folders so far.
  size_t OpenFolders() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_.size();
  }
  size_t FolderOpeners() {
    std::lock_guard<std::mutex> lock(mutex_);
    return folderOpeners_.size();
  }
  void CloseFolder(FolderHandle folder) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      paths_.erase(folder);
    }
    real_.CloseFolder(folder);
  }
  ListStatus List(FolderHandle handle, EntryReceiver& receiver, bool wantSizes) override {
    const std::string folder = PathOf(handle, {});
    if (onList) onList(folder);
    for (const MadeUp& m : madeUp) {
      if (folder.size() < m.suffix.size() ||
          folder.compare(folder.size() - m.suffix.size(), m.suffix.size(), m.suffix) != 0)
        continue;
      char name[32];
      for (int i = 0; i < m.count; ++i) {
        std::snprintf(name, sizeof name, "%s%06d", m.prefix.c_str(), i);
        receiver.Entry(name, EntryKind::File, 1);
      }
      return ListStatus::Ok;
    }
    return real_.List(handle, receiver, wantSizes);
  }
  FolderId IdentifyFolder(FolderHandle folder) override { return real_.IdentifyFolder(folder); }
  OpenedFile OpenFile(FolderHandle folder, std::string_view name) override {
    Wait();
    if (onOpen) onOpen(PathOf(folder, name));
    if (readsEmpty && readsEmpty(PathOf(folder, name))) return OpenedFile{kEmptyFile, 0};
    return real_.OpenFile(folder, name);
  }
  size_t ReadAt(FileHandle f, int64_t offset, void* b, size_t n) override {
    return f == kEmptyFile ? 0 : real_.ReadAt(f, offset, b, n);
  }
  void Close(FileHandle f) override {
    if (f != kEmptyFile) real_.Close(f);
  }

 private:
  // The path of a name in an open folder (or of a resolved text at the top); the folder's own
  // path for an empty name. Files are opened on the read-ahead's threads.
  std::string PathOf(FolderHandle folder, std::string_view name) {
    if (folder == kNoFolder) return std::string(name);
    std::string path;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      path = paths_[folder];
    }
    if (name.empty()) return path;
    if (!EndsInSeparator(path)) path += Separator();
    return path.append(name);
  }

  void Wait() const {
    if (openDelay.count() > 0) std::this_thread::sleep_for(openDelay);
  }

  FileSystem& real_;
  std::mutex mutex_;
  std::map<FolderHandle, std::string> paths_;
  std::set<std::thread::id> folderOpeners_;
};

}  // namespace vemo::testing
