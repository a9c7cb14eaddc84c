#include "engine/folder_listing.h"

#include <algorithm>
#include <string>

#include "engine/out_of_memory.h"
#include "engine/progress_format.h"

namespace vemo {
namespace {

class ListingReceiver : public EntryReceiver {
 public:
  ListingReceiver(FolderListing& listing, bool keepFiles)
      : listing_(listing), keepFiles_(keepFiles) {}

  void Entry(std::string_view name, EntryKind kind, int64_t size) override {
    const EntryClass what = ClassifyEntry(name, kind == EntryKind::Folder);
    if (what == EntryClass::Skipped) return;
    try {
      if (what == EntryClass::SubFolder) {
        listing_.subFolders.push_back(FileEntry{std::string(name), 0});
        return;
      }
      if (keepFiles_) listing_.files.push_back(FileEntry{std::string(name), size});
      if (size != kUnknownSize) listing_.size += SizeUnits(size);
    } catch (const std::bad_alloc&) {
      throw OutOfMemory(kOutOfMemoryText);
    }
  }

 private:
  FolderListing& listing_;
  bool keepFiles_;
};

}  // namespace

EntryClass ClassifyEntry(std::string_view name, bool isFolder) {
  if (name.empty() || name[0] == '.') return EntryClass::Skipped;
  return isFolder ? EntryClass::SubFolder : EntryClass::File;
}

ListStatus ListEntries(FileSystem& fs, FolderHandle folder, bool keepFiles, bool wantSizes,
                       FolderListing& listing) {
  ListingReceiver receiver(listing, keepFiles);
  try {
    return fs.List(folder, receiver, wantSizes);
  } catch (const OutOfMemory&) {
    throw;
  } catch (const std::bad_alloc&) {  // the enumeration's own record
    throw OutOfMemory(kOutOfSearchMemoryText);
  }
}

void ArrangeForWalk(ListStatus status, FolderListing& listing) {
  if (status != ListStatus::Ok) {
    listing.files.clear();
    listing.subFolders.clear();
    return;
  }
  std::reverse(listing.files.begin(), listing.files.end());
  std::reverse(listing.subFolders.begin(), listing.subFolders.end());
  MarkSameNames(listing.files);
  MarkSameNames(listing.subFolders);
}

}  // namespace vemo
