// One folder's entries as the walk keeps them: files (with their sizes), sub-folders, nothing
// whose name begins with a full stop.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/file_system.h"
#include "engine/name_index.h"

namespace vemo {

// What a listing does with one entry: a name that begins with a full stop ("." and ".."
// included) is skipped whatever it is; otherwise folders are sub-folders and the rest files.
enum class EntryClass { File, SubFolder, Skipped };
EntryClass ClassifyEntry(std::string_view name, bool isFolder);

// In enumeration order until ArrangeForWalk: its files (or none, where only their sizes were
// wanted), its sub-folders, and its files' sizes in size units.
struct FolderListing {
  std::vector<FileEntry> files;
  std::vector<FileEntry> subFolders;
  int64_t size = 0;
};

// Lists an open folder into `listing`. Any thread. Exhausted memory throws OutOfMemory with the
// line it stands for.
ListStatus ListEntries(FileSystem& fs, FolderHandle folder, bool keepFiles, bool wantSizes,
                       FolderListing& listing);

// Makes a listing what the walks go through: the entry enumerated last first, entries of one
// name marked; a folder that could not be listed (status) holds no entries. Its size stays.
void ArrangeForWalk(ListStatus status, FolderListing& listing);

}  // namespace vemo
