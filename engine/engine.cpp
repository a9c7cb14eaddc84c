#include "engine/engine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/name_index.h"
#include "engine/walk_stack.h"

namespace vemo {
namespace {

constexpr size_t kBlock = 10240;       // the unit of comparison, progress and stop polls
constexpr size_t kChunk = 8 * kBlock;  // what one read asks the file system for

// Hands out a file's data block by block from whole-chunk reads: the blocks are those that
// reads of kBlock bytes would give, with an eighth of the system calls.
class BlockReader {
 public:
  BlockReader(FileSystem& fs, FileHandle file, char* buffer)
      : fs_(fs), file_(file), buffer_(buffer) {}
  size_t Next(const char*& data) {
    if (pos_ == have_ && !ended_) {
      have_ = fs_.Read(file_, buffer_, kChunk);
      pos_ = 0;
      ended_ = have_ < kChunk;
    }
    size_t n = have_ - pos_ < kBlock ? have_ - pos_ : kBlock;
    data = buffer_ + pos_;
    pos_ += n;
    return n;
  }

 private:
  FileSystem& fs_;
  FileHandle file_;
  char* buffer_;
  size_t have_ = 0, pos_ = 0;
  bool ended_ = false;
};

int64_t Smaller(int64_t a, int64_t b) { return a < b ? a : b; }

// Collects one folder's entries: files with their sizes, sub-folders, nothing whose name
// begins with a full stop. Adds the file sizes to the side's total.
class ListingReceiver : public EntryReceiver {
 public:
  ListingReceiver(std::vector<FileEntry>& files, std::vector<FileEntry>& subFolders,
                  std::atomic<int64_t>& total)
      : files_(files), subFolders_(subFolders), total_(total) {}

  void Entry(std::string_view name, bool isFolder, int64_t size) override {
    const EntryClass kind = ClassifyEntry(name, isFolder);
    if (kind == EntryClass::Skipped) return;
    try {
      if (kind == EntryClass::SubFolder) {
        subFolders_.push_back(FileEntry{std::string(name), 0});
      } else {
        files_.push_back(FileEntry{std::string(name), size});
        total_.store(total_.load(std::memory_order_relaxed) + SizeUnits(size),
                     std::memory_order_relaxed);
      }
    } catch (const std::bad_alloc&) {
      OutOfMemoryStop("Out of Memory.\n");
    }
  }

 private:
  std::vector<FileEntry>& files_;
  std::vector<FileEntry>& subFolders_;
  std::atomic<int64_t>& total_;
};

}  // namespace

struct Engine::DirListing {
  std::vector<FileEntry> files;  // in list order: the entry enumerated last comes first
  std::vector<FileEntry> subFolders;
};

void OutOfMemoryStop(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
  std::_Exit(1);
}

EntryClass ClassifyEntry(std::string_view name, bool isFolder) {
  if (name.empty() || name[0] == '.') return EntryClass::Skipped;
  return isFolder ? EntryClass::SubFolder : EntryClass::File;
}

Engine::Engine(RunState& state, FileSystem& fs, RunSink& sink)
    : state_(state), fs_(fs), sink_(sink), buffer1_(kChunk), buffer2_(kChunk) {}

void Engine::ReportError(Message message, std::string_view a, std::string_view b) {
  sink_.AddErrorLine(FormatMessageText(message, state_.language.load(), a, b, fs_.Separator()));
  state_.errorCount.fetch_add(1, std::memory_order_relaxed);
}

std::string Engine::JoinText(const std::string& folder, std::string_view name) const {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path = folder;
  if (!fs_.EndsInSeparator(folder)) path += fs_.Separator();
  path += name;
  return path;
}

FolderPath Engine::Join(const FolderPath& folder, std::string_view name) const {
  return FolderPath{JoinText(folder.text, name), JoinText(folder.system, name)};
}

FolderPath Engine::Root(const std::string& text) const {
  return FolderPath{text, fs_.ResolveFolder(text)};
}

std::string Engine::Pattern(const FolderPath& folder) const { return JoinText(folder.text, "*.*"); }

void Engine::ListFolder(const FolderPath& folder, DirListing& listing, int side) {
  listing.files.clear();
  listing.subFolders.clear();
  ListingReceiver receiver(listing.files, listing.subFolders, state_.folderTotal[side]);
  ListStatus status = ListStatus::NotFound;  // a text that names no folder at all
  if (!folder.system.empty()) {
    try {
      status = fs_.List(folder.system, receiver);
    } catch (const std::bad_alloc&) {
      OutOfMemoryStop("Out of memory.\n");
    }
  }
  switch (status) {
    case ListStatus::Ok:
      std::reverse(listing.files.begin(), listing.files.end());
      std::reverse(listing.subFolders.begin(), listing.subFolders.end());
      return;
    case ListStatus::NotFound: ReportError(MsgNoFileFound, Pattern(folder)); break;
    case ListStatus::InvalidName: ReportError(MsgInvalidFile, Pattern(folder)); break;
    case ListStatus::OtherError: ReportError(MsgDirSearchError, Pattern(folder)); break;
  }
  listing.files.clear();
  listing.subFolders.clear();
}

void Engine::CompareFolderPair(const std::string& folder1, const std::string& folder2) {
  WalkFromTexts(folder1, folder2,
                [this](const FolderPath& a, const FolderPath& b) { CompareFolderPair(a, b); });
}

void Engine::PreScanFolderPair(const std::string& folder1, const std::string& folder2) {
  WalkFromTexts(folder1, folder2,
                [this](const FolderPath& a, const FolderPath& b) { PreScanFolderPair(a, b); });
}

void Engine::WalkFromTexts(const std::string& folder1, const std::string& folder2,
                           const std::function<void(const FolderPath&, const FolderPath&)>& step) {
  RunOnWalkStack([&] {
    try {
      const FolderPath root1 = Root(folder1), root2 = Root(folder2);
      StartTree(root1, root2);
      step(root1, root2);
    } catch (const std::bad_alloc&) {
      OutOfMemoryStop("Out of Memory.\n");
    }
  });
}

void Engine::StartTree(const FolderPath& folder1, const FolderPath& folder2) {
  const FolderPath* roots[2] = {&folder1, &folder2};
  for (int side = 0; side < 2; ++side) {
    ancestors_[side].clear();
    FolderId id;
    if (!roots[side]->system.empty() && fs_.IdentifyFolder(roots[side]->system, id))
      ancestors_[side].push_back(id);
  }
}

void Engine::CompareFolderPair(const FolderPath& folder1, const FolderPath& folder2) {
  state_.preScanning = 0;
  DirListing side0, side1;
  ListFolder(folder1, side0, 0);
  ListFolder(folder2, side1, 1);
  WalkEntries(side1.files, folder2, 1, side0.files, folder1, true, Kind::Files);
  WalkEntries(side0.files, folder1, 0, side1.files, folder2, false, Kind::Files);
  if (state_.recursive == 1) {
    WalkEntries(side1.subFolders, folder2, 1, side0.subFolders, folder1, true, Kind::SubFolders);
    WalkEntries(side0.subFolders, folder1, 0, side1.subFolders, folder2, false, Kind::SubFolders);
  }
}

void Engine::PreScanFolderPair(const FolderPath& folder1, const FolderPath& folder2) {
  state_.preScanning = 1;
  char text[64];
  int64_t m = Smaller(state_.folderTotal[0], state_.folderTotal[1]);
  sink_.SetPanel(Panel::Panel3, std::string_view(text, FormatRunSize(text, 0, m)));
  DirListing side0, side1;
  ListFolder(folder1, side0, 0);
  if (Stopped()) return;
  ListFolder(folder2, side1, 1);
  if (Stopped()) return;
  if (state_.recursive == 1)
    WalkEntries(side0.subFolders, folder1, 0, side1.subFolders, folder2, false, Kind::SubFolders);
}

void Engine::WalkEntries(const std::vector<FileEntry>& walked, const FolderPath& walkedFolder,
                         int walkedSide, const std::vector<FileEntry>& other,
                         const FolderPath& otherFolder, bool compare, Kind kind) {
  if (walked.empty()) return;
  const NameIndex index(other, state_.ignoreCase == 1);
  for (const FileEntry& entry : walked) {
    if (Stopped()) return;  // before every entry and its lookup
    FindCounterpart(entry, walkedFolder, walkedSide, index, otherFolder, compare, kind);
  }
}

void Engine::FindCounterpart(const FileEntry& entry, const FolderPath& walkedFolder, int walkedSide,
                             const NameIndex& other, const FolderPath& otherFolder, bool compare,
                             Kind kind) {
  const FileEntry* counterpart = other.Find(entry.name);
  if (!counterpart) {
    if (state_.ignoreNoFile != 1) ReportError(MsgNoCounterpart, walkedFolder.text, entry.name);
    return;
  }
  const bool actOn = kind == Kind::Files ? compare : (state_.preScanning == 1 || compare);
  if (!actOn) return;
  // Each path keeps the name as its own side lists it.
  const FolderPath walkedPath = Join(walkedFolder, entry.name);
  const FolderPath otherPath = Join(otherFolder, counterpart->name);
  const FolderPath& first = walkedSide == 0 ? walkedPath : otherPath;
  const FolderPath& second = walkedSide == 0 ? otherPath : walkedPath;
  if (kind == Kind::Files)
    CompareFiles(first, second, entry.size);
  else
    EnterSubFolders(first, second);
}

void Engine::EnterSubFolders(const FolderPath& first, const FolderPath& second) {
  const FolderPath* paths[2] = {&first, &second};
  FolderId ids[2];
  bool known[2];
  for (int side = 0; side < 2; ++side) {
    known[side] = fs_.IdentifyFolder(paths[side]->system, ids[side]);
    if (known[side] && std::find(ancestors_[side].begin(), ancestors_[side].end(), ids[side]) !=
                           ancestors_[side].end()) {
      // The same physical folder as one being walked: a link loop. Not entered.
      ReportError(MsgDirSearchError, Pattern(*paths[side]));
      return;
    }
  }
  for (int side = 0; side < 2; ++side)
    ancestors_[side].push_back(known[side] ? ids[side] : FolderId{~0ull, ~0ull});
  if (state_.preScanning == 1)
    PreScanFolderPair(first, second);
  else
    CompareFolderPair(first, second);
  for (int side = 0; side < 2; ++side) ancestors_[side].pop_back();
}

void Engine::CompareFiles(const FolderPath& first, const FolderPath& second, int64_t size) {
  const int64_t errorsBefore = state_.errorCount.load(std::memory_order_relaxed);
  FileHandle file1 = fs_.Open(first.system);
  if (file1 == kNoFile) {
    ReportError(MsgCantOpen, first.text);
    return;
  }
  FileHandle file2 = fs_.Open(second.system);
  if (file2 == kNoFile) {
    fs_.Close(file1);
    ReportError(MsgCantOpen, second.text);
    return;
  }
  sink_.SetPanel(Panel::Panel1, first.text);
  BlockReader reader1(fs_, file1, buffer1_.data());
  BlockReader reader2(fs_, file2, buffer2_.data());
  const char* block1 = nullptr;
  const char* block2 = nullptr;
  int64_t readBytes = 0;
  size_t a = kBlock, b = kBlock;
  bool complete = true;
  while (a == kBlock && b == kBlock) {
    if (Stopped()) {
      complete = false;
      break;
    }
    ShowFileProgress(readBytes, size);
    a = reader1.Next(block1);
    b = reader2.Next(block2);
    state_.comparedSize.store(
        state_.comparedSize.load(std::memory_order_relaxed) + SizeUnits(static_cast<int64_t>(a)),
        std::memory_order_relaxed);
    readBytes += static_cast<int64_t>(a);
    if (b < a) {
      ReportError(MsgLonger, first.text, second.text);
      break;
    }
    if (a < b) {
      ReportError(MsgLonger, second.text, first.text);
      break;
    }
    if (std::memcmp(block1, block2, a) != 0) {
      ReportError(MsgDiffer, first.text, second.text);
      break;
    }
  }
  if (complete && state_.errorCount.load(std::memory_order_relaxed) == errorsBefore)
    state_.filesCompared.fetch_add(1, std::memory_order_relaxed);
  fs_.Close(file1);
  fs_.Close(file2);
}

void Engine::ShowFileProgress(int64_t readBytes, int64_t size) {
  const int64_t total = state_.recursive == 1
                            ? state_.expectedTotal.load(std::memory_order_relaxed)
                            : Smaller(state_.folderTotal[0], state_.folderTotal[1]);
  const int64_t compared = state_.comparedSize.load(std::memory_order_relaxed);
  char text[64];
  sink_.SetBar(Bar::ProgressBar2, kBarMax, RunBarPosition(compared, total));
  sink_.SetPanel(Panel::Panel3, std::string_view(text, FormatRunSize(text, compared, total)));
  int length = FormatPercentTitle(text, RunPercent(compared, total));
  state_.titleText.Set(text, static_cast<size_t>(length));
  sink_.SetBar(Bar::ProgressBar1, kBarMax, FileBarPosition(readBytes, size));
  sink_.SetPanel(Panel::Panel2, std::string_view(text, FormatFileSize(text, readBytes, size)));
}

bool Engine::Run(const std::string& folder1, const std::string& folder2) {
  RunState& s = state_;
  s.folderTotal[0] = 0;
  s.folderTotal[1] = 0;
  s.comparedSize = 0;
  s.filesCompared = 0;
  s.expectedTotal = 0;
  if (s.recursive == 1) {
    PreScanFolderPair(folder1, folder2);
    s.expectedTotal = Smaller(s.folderTotal[0], s.folderTotal[1]);
  }
  if (s.stopRequested != 0) return false;
  sink_.ClearLines();
  s.errorCount = 0;
  s.folderTotal[0] = 0;
  s.folderTotal[1] = 0;
  s.comparedSize = 0;
  s.filesCompared = 0;
  CompareFolderPair(folder1, folder2);
  return s.stopRequested == 0;
}

}  // namespace vemo
