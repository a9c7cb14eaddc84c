// The platform's file system with something changed for a test: a failure injected into a
// listing or a read, folders whose listing is made up (many names, without touching the disk),
// a slow drive (every call waits), a call that waits until the test lets it go. It counts what
// is open and what is under way, so a test can wait until every thread a run left behind is done.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/file_system.h"
#include "tests/support/hang_guard.h"

namespace vemo::testing {

// A call that does not return until the test lets it go: a share that stopped answering.
class Hang {
 public:
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    reached_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_; });
  }
  // Whether a call has come to wait (within the hang guard).
  bool Reached() {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(vemo::test::kHangGuardMs),
                             [this] { return reached_; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false, released_ = false;
};

class TestFileSystem : public FileSystem {
  static constexpr FileHandle kEmptyFile = -2;

 public:
  explicit TestFileSystem(FileSystem& real) : real_(real) {}
  ~TestFileSystem() override { WaitUntilQuiet(); }

  std::function<void(const std::string& folder)> onList;      // before each listing; may throw
  std::function<void(const std::string& path)> onOpen;        // before each open of a file
  std::function<void(const std::string& path)> onOpenFolder;  // before each open of a folder
  // Before each read of a file; may wait. True: the read fails whole, as a drive that refuses
  // the request.
  std::function<bool(const std::string& path, int64_t offset, size_t size)> onRead;
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
  // Every call to the drive (opens, listings, reads) waits as long as this says.
  std::function<std::chrono::microseconds()> callDelay;

  char Separator() const override { return real_.Separator(); }
  bool EndsInSeparator(std::string_view path) const override { return real_.EndsInSeparator(path); }
  std::string ResolveFolder(const std::string& text) override { return real_.ResolveFolder(text); }
  ListStatus OpenFolder(FolderHandle parent, std::string_view name, FolderHandle& folder) override {
    Call call(*this, true);
    if (onOpenFolder) onOpenFolder(PathOf(parent, name));
    const ListStatus status = real_.OpenFolder(parent, name, folder);
    if (status == ListStatus::Ok) {
      std::string path = PathOf(parent, name);
      std::lock_guard<std::mutex> lock(mutex_);
      paths_[folder] = std::move(path);
      folderOpeners_.insert(std::this_thread::get_id());
      Opened();
    }
    return status;
  }
  void CloseFolder(FolderHandle folder) override {
    Call call(*this, false);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (paths_.erase(folder)) --open_;
    }
    real_.CloseFolder(folder);
  }
  ListStatus List(FolderHandle handle, EntryReceiver& receiver, bool wantSizes) override {
    Call call(*this, false);
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
  FolderId ExactFolderId(FolderHandle folder) override { return real_.ExactFolderId(folder); }
  OpenedFile OpenFile(FolderHandle folder, std::string_view name) override {
    Call call(*this, true);
    const std::string path = PathOf(folder, name);
    if (onOpen) onOpen(path);
    OpenedFile opened = readsEmpty && readsEmpty(path) ? OpenedFile{NextEmptyFile(), 0}
                                                       : real_.OpenFile(folder, name);
    if (opened.handle != kNoFile) {
      std::lock_guard<std::mutex> lock(mutex_);
      files_[opened.handle] = path;
      Opened();
    }
    return opened;
  }
  ReadResult ReadAt(FileHandle f, int64_t offset, void* b, size_t n) override {
    Call call(*this, false);
    if (onRead && onRead(FileOf(f), offset, n)) return ReadResult{0, true};
    return f <= kEmptyFile ? ReadResult{} : real_.ReadAt(f, offset, b, n);
  }
  void Close(FileHandle f) override {
    Call call(*this, false);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (files_.erase(f)) --open_;
    }
    if (f > kEmptyFile) real_.Close(f);
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
  // How many threads have called so far.
  size_t Callers() {
    std::lock_guard<std::mutex> lock(mutex_);
    return callers_.size();
  }
  // Folders and files open at the most at one time so far.
  size_t MostOpen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return mostOpen_;
  }
  // Nothing open and no call under way: every thread a run left behind is done with it.
  bool Quiet() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_ == 0 && open_ == 0;
  }
  bool WaitUntilQuiet() {
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(vemo::test::kHangGuardMs);
    while (!Quiet()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

 private:
  // One call under way, for as long as it lasts (the waiting included).
  class Call {
   public:
    Call(TestFileSystem& fs, bool open) : fs_(fs) {
      {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        ++fs_.calls_;
        fs_.callers_.insert(std::this_thread::get_id());
      }
      if (open && fs_.openDelay.count() > 0) std::this_thread::sleep_for(fs_.openDelay);
      if (fs_.callDelay) std::this_thread::sleep_for(fs_.callDelay());
    }
    ~Call() {
      std::lock_guard<std::mutex> lock(fs_.mutex_);
      --fs_.calls_;
    }

   private:
    TestFileSystem& fs_;
  };

  void Opened() {  // under the lock
    ++open_;
    mostOpen_ = std::max(mostOpen_, open_);
  }
  FileHandle NextEmptyFile() {
    std::lock_guard<std::mutex> lock(mutex_);
    return kEmptyFile - static_cast<FileHandle>(++emptyFiles_);
  }
  // The path of a name in an open folder (or of a resolved text at the top); the folder's own
  // path for an empty name. Files are opened on the look-ahead's threads.
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
  std::string FileOf(FileHandle file) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto known = files_.find(file);
    return known == files_.end() ? std::string() : known->second;
  }

  FileSystem& real_;
  std::mutex mutex_;
  std::map<FolderHandle, std::string> paths_;
  std::map<FileHandle, std::string> files_;
  std::set<std::thread::id> folderOpeners_, callers_;
  size_t calls_ = 0, open_ = 0, mostOpen_ = 0;
  int64_t emptyFiles_ = 0;
};

}  // namespace vemo::testing
