#include "engine/held_folder.h"

namespace vemo {

SharedFolder Hold(FileSystem& owner, FolderHandle handle) {
  if (handle == kNoFolder) return nullptr;
  try {
    return std::make_shared<const HeldFolder>(owner, handle);
  } catch (...) {
    owner.CloseFolder(handle);
    throw;
  }
}

OpenedFolder OpenSubFolder(FileSystem& calls, FileSystem& owner, FolderHandle parent,
                           std::string_view name) {
  OpenedFolder opened;
  if (parent == kNoFolder) {
    opened.status = ListStatus::OtherError;
    return opened;
  }
  FolderHandle handle = kNoFolder;
  opened.status = calls.OpenFolder(parent, name, handle);
  opened.held = Hold(owner, handle);
  if (opened.held) opened.id = calls.IdentifyFolder(handle);
  return opened;
}

}  // namespace vemo
