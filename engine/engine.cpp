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

// Collects one folder's entries: files with their sizes (or only their sizes), sub-folders,
// nothing whose name begins with a full stop. Adds the file sizes it learns to the side's total.
class ListingReceiver : public EntryReceiver {
 public:
  ListingReceiver(std::vector<FileEntry>* files, std::vector<FileEntry>& subFolders,
                  std::atomic<int64_t>& total)
      : files_(files), subFolders_(subFolders), total_(total) {}

  void Entry(std::string_view name, EntryKind kind, int64_t size) override {
    const EntryClass what = ClassifyEntry(name, kind == EntryKind::Folder);
    if (what == EntryClass::Skipped) return;
    try {
      if (what == EntryClass::SubFolder) {
        subFolders_.push_back(FileEntry{std::string(name), 0});
        return;
      }
      if (files_) files_->push_back(FileEntry{std::string(name), size});
      if (size != kUnknownSize)
        total_.store(total_.load(std::memory_order_relaxed) + SizeUnits(size),
                     std::memory_order_relaxed);
    } catch (const std::bad_alloc&) {
      OutOfMemoryStop("Out of Memory.\n");
    }
  }

 private:
  std::vector<FileEntry>* files_;
  std::vector<FileEntry>& subFolders_;
  std::atomic<int64_t>& total_;
};

// Closes a file when the comparison leaves it, whichever way.
class OpenFile {
 public:
  OpenFile(FileSystem& fs, const OpenedFile& file) : fs_(fs), file_(file) {}
  ~OpenFile() {
    if (file_.handle != kNoFile) fs_.Close(file_.handle);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  bool IsOpen() const { return file_.handle != kNoFile; }
  FileHandle Handle() const { return file_.handle; }
  int64_t Size() const { return file_.size; }

 private:
  FileSystem& fs_;
  OpenedFile file_;
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
    : state_(state),
      fs_(fs),
      sink_(sink),
      walk_{WalkPath(fs), WalkPath(fs)},
      buffer1_(kChunk),
      buffer2_(kChunk) {}

void Engine::ReportError(Message message, std::string_view a, std::string_view b) {
  sink_.AddErrorLine(FormatMessageText(message, state_.language.load(), a, b, fs_.Separator()));
  state_.errorCount.fetch_add(1, std::memory_order_relaxed);
}

std::string Engine::Pattern(int side) { return std::string(walk_[side].Joined("*.*")); }

void Engine::ListFolder(int side, DirListing& listing, bool keepFiles, bool wantSizes) {
  listing.files.clear();
  listing.subFolders.clear();
  ListingReceiver receiver(keepFiles ? &listing.files : nullptr, listing.subFolders,
                           state_.folderTotal[side]);
  ListStatus status = walk_[side].Status();
  if (status == ListStatus::Ok) {
    const FolderHandle folder = walk_[side].Handle();
    try {
      // A folder that went away while the walk was below it can be searched no more.
      status = folder == kNoFolder ? ListStatus::OtherError : fs_.List(folder, receiver, wantSizes);
    } catch (const std::bad_alloc&) {
      OutOfMemoryStop("Out of memory.\n");
    }
  }
  switch (status) {
    case ListStatus::Ok:
      std::reverse(listing.files.begin(), listing.files.end());
      std::reverse(listing.subFolders.begin(), listing.subFolders.end());
      MarkSameNames(listing.files);
      MarkSameNames(listing.subFolders);
      return;
    case ListStatus::NotFound: ReportError(MsgNoFileFound, Pattern(side)); break;
    case ListStatus::InvalidName: ReportError(MsgInvalidFile, Pattern(side)); break;
    case ListStatus::OtherError: ReportError(MsgDirSearchError, Pattern(side)); break;
  }
  listing.files.clear();
  listing.subFolders.clear();
}

void Engine::CompareFolderPair(const std::string& folder1, const std::string& folder2) {
  WalkFromTexts(folder1, folder2, &Engine::CompareFolderPair);
}

void Engine::PreScanFolderPair(const std::string& folder1, const std::string& folder2) {
  WalkFromTexts(folder1, folder2, &Engine::PreScanFolderPair);
}

void Engine::WalkFromTexts(const std::string& folder1, const std::string& folder2,
                           void (Engine::*step)()) {
  // Nothing stays open once the walk has ended, however it ended.
  struct CloseWalks {
    WalkPath* walks;
    ~CloseWalks() {
      for (int side = 0; side < 2; ++side) walks[side].Close();
    }
  } closeWalks{walk_};
  RunOnWalkStack([&] {
    try {
      const std::string* texts[2] = {&folder1, &folder2};
      for (int side = 0; side < 2; ++side) walk_[side].Start(*texts[side]);
      (this->*step)();
    } catch (const std::bad_alloc&) {
      OutOfMemoryStop("Out of Memory.\n");
    }
  });
}

void Engine::CompareFolderPair() {
  state_.preScanning = 0;
  DirListing side0, side1;
  // A recursive run took its totals in the pre-scan: its listings need no sizes, and a file's
  // own length comes with its open.
  const bool wantSizes = state_.recursive != 1;
  ListFolder(0, side0, true, wantSizes);
  ListFolder(1, side1, true, wantSizes);
  WalkEntries(side1.files, 1, side0.files, true, Kind::Files);
  WalkEntries(side0.files, 0, side1.files, false, Kind::Files);
  if (state_.recursive == 1) {
    WalkEntries(side1.subFolders, 1, side0.subFolders, true, Kind::SubFolders);
    WalkEntries(side0.subFolders, 0, side1.subFolders, false, Kind::SubFolders);
  }
}

void Engine::PreScanFolderPair() {
  state_.preScanning = 1;
  char text[64];
  int64_t m = Smaller(state_.folderTotal[0], state_.folderTotal[1]);
  sink_.SetPanel(Panel::Panel3, std::string_view(text, FormatRunSize(text, 0, m)));
  DirListing side0, side1;
  ListFolder(0, side0, false, true);
  if (Stopped()) return;
  ListFolder(1, side1, false, true);
  if (Stopped()) return;
  if (state_.recursive == 1)
    WalkEntries(side0.subFolders, 0, side1.subFolders, false, Kind::SubFolders);
}

void Engine::WalkEntries(const std::vector<FileEntry>& walked, int walkedSide,
                         const std::vector<FileEntry>& other, bool compare, Kind kind) {
  if (walked.empty()) return;
  const NameIndex index(other, state_.ignoreCase == 1);
  for (const FileEntry& entry : walked) {
    if (Stopped()) return;  // before every entry and its lookup
    FindCounterpart(entry, walkedSide, index, compare, kind);
  }
}

void Engine::FindCounterpart(const FileEntry& entry, int walkedSide, const NameIndex& other,
                             bool compare, Kind kind) {
  WalkPath& walked = walk_[walkedSide];
  if (entry.ambiguous) {  // which file of that name it is cannot be told
    ReportError(MsgCantOpen, walked.Joined(entry.name));
    return;
  }
  const FileEntry* counterpart = other.Find(entry.name);
  if (!counterpart) {
    if (state_.ignoreNoFile != 1) ReportError(MsgNoCounterpart, walked.Text(), entry.name);
    return;
  }
  const bool actOn = kind == Kind::Files ? compare : (state_.preScanning == 1 || compare);
  if (!actOn) return;
  if (counterpart->ambiguous) {  // its counterpart cannot be told from another of that name
    ReportError(MsgCantOpen, walked.Joined(entry.name));
    return;
  }
  // Each side keeps the name as its own listing gave it.
  const std::string_view first = walkedSide == 0 ? entry.name : counterpart->name;
  const std::string_view second = walkedSide == 0 ? counterpart->name : entry.name;
  if (kind == Kind::Files)
    CompareFiles(first, second, entry.size);
  else
    EnterSubFolders(first, second);
}

void Engine::EnterSubFolders(std::string_view name1, std::string_view name2) {
  walk_[0].Enter(name1);
  walk_[1].Enter(name2);
  struct LeaveBoth {
    WalkPath* walks;
    ~LeaveBoth() {
      for (int side = 0; side < 2; ++side) walks[side].Leave();
    }
  } leaveBoth{walk_};
  for (int side = 0; side < 2; ++side) {
    if (walk_[side].IsLoop()) {
      // The same physical folder as one being walked: a link loop. Not entered.
      ReportError(MsgDirSearchError, Pattern(side));
      return;
    }
  }
  if (state_.preScanning == 1)
    PreScanFolderPair();
  else
    CompareFolderPair();
}

void Engine::CompareFiles(std::string_view name1, std::string_view name2, int64_t size) {
  const int64_t errorsBefore = state_.errorCount.load(std::memory_order_relaxed);
  const FolderHandle folder1 = walk_[0].Handle(), folder2 = walk_[1].Handle();
  OpenFile file1(fs_, folder1 == kNoFolder ? OpenedFile{} : fs_.OpenFile(folder1, name1));
  if (!file1.IsOpen()) {
    ReportError(MsgCantOpen, walk_[0].Joined(name1));
    return;
  }
  OpenFile file2(fs_, folder2 == kNoFolder ? OpenedFile{} : fs_.OpenFile(folder2, name2));
  if (!file2.IsOpen()) {
    ReportError(MsgCantOpen, walk_[1].Joined(name2));
    return;
  }
  if (size == kUnknownSize) size = file2.Size() == kUnknownSize ? 0 : file2.Size();
  sink_.SetPanel(Panel::Panel1, walk_[0].Joined(name1));
  BlockReader reader1(fs_, file1.Handle(), buffer1_.data());
  BlockReader reader2(fs_, file2.Handle(), buffer2_.data());
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
      ReportError(MsgLonger, walk_[0].Joined(name1), walk_[1].Joined(name2));
      break;
    }
    if (a < b) {
      ReportError(MsgLonger, walk_[1].Joined(name2), walk_[0].Joined(name1));
      break;
    }
    if (std::memcmp(block1, block2, a) != 0) {
      ReportError(MsgDiffer, walk_[0].Joined(name1), walk_[1].Joined(name2));
      break;
    }
  }
  if (complete && state_.errorCount.load(std::memory_order_relaxed) == errorsBefore)
    state_.filesCompared.fetch_add(1, std::memory_order_relaxed);
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
