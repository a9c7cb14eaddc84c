// An open folder that the walk and the look-ahead's threads share. It is closed when the last of
// them lets it go, on whichever thread that is: so a folder is never closed while anything still
// opens or lists relative to it, and its number is never given to another folder meanwhile.
#pragma once

#include <memory>
#include <string_view>

#include "engine/file_system.h"

namespace vemo {

class HeldFolder {
 public:
  HeldFolder(FileSystem& owner, FolderHandle handle) : owner_(owner), handle_(handle) {}
  ~HeldFolder() { owner_.CloseFolder(handle_); }
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;
  FolderHandle Handle() const { return handle_; }

 private:
  FileSystem& owner_;  // the file system itself, never a wrapper that may go first
  FolderHandle handle_;
};
using SharedFolder = std::shared_ptr<const HeldFolder>;

// Takes over an open folder (none for kNoFolder); should that fail, the folder is closed.
SharedFolder Hold(FileSystem& owner, FolderHandle handle);
inline FolderHandle HandleOf(const SharedFolder& folder) {
  return folder ? folder->Handle() : kNoFolder;
}

// A folder as its open left it: held (none when the open failed), how the open went, and its
// cheap identity (unknown when it did not open).
struct OpenedFolder {
  SharedFolder held;
  ListStatus status = ListStatus::Ok;
  FolderId id;
};

// Opens a folder by name in an open one (kNoFolder: the folder above has gone, which fails as an
// error of its own) through `calls`, held by `owner`; any thread.
OpenedFolder OpenSubFolder(FileSystem& calls, FileSystem& owner, FolderHandle parent,
                           std::string_view name);

}  // namespace vemo
