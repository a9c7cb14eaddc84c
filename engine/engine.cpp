#include "engine/engine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <new>
#include <thread>

#include "engine/name_index.h"
#include "engine/walk_stack.h"

namespace vemo {
namespace {

constexpr size_t kBlock = 10240;  // the unit of comparison, progress and stop polls
static_assert(ReadAhead::kChunk % kBlock == 0, "a chunk holds whole blocks");

// Hands out a file's data block by block from whole chunks read ahead: the blocks are those
// that reads of kBlock bytes would give, with a fraction of the system calls.
class BlockReader {
 public:
  BlockReader(ReadAhead& readAhead, ReadAhead::Pair* pair, int side)
      : readAhead_(readAhead), pair_(pair), side_(side) {}
  size_t Next(const char*& data) {
    if (pos_ == have_ && !ended_) {
      have_ = readAhead_.NextChunk(pair_, side_, chunk_);
      pos_ = 0;
      ended_ = have_ < ReadAhead::kChunk;
    }
    size_t n = have_ - pos_ < kBlock ? have_ - pos_ : kBlock;
    data = chunk_ + pos_;
    pos_ += n;
    return n;
  }

 private:
  ReadAhead& readAhead_;
  ReadAhead::Pair* pair_;
  int side_;
  const char* chunk_ = nullptr;
  size_t have_ = 0, pos_ = 0;
  bool ended_ = false;
};

int64_t Smaller(int64_t a, int64_t b) { return a < b ? a : b; }

}  // namespace

void OutOfMemoryStop(const char* text) {
  // Threads that run out at once (both sides listed together): the first one's line ends the
  // process, and the others wait for that.
  static std::atomic_flag stopping = ATOMIC_FLAG_INIT;
  if (stopping.test_and_set())
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
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
      readAhead_(fs),
      listAhead_(fs) {}

void Engine::ReportError(Message message, std::string_view a, std::string_view b) {
  sink_.AddErrorLine(FormatMessageText(message, state_.language.load(), a, b, fs_.Separator()));
  state_.errorCount.fetch_add(1, std::memory_order_relaxed);
}

std::string Engine::Pattern(int side) { return std::string(walk_[side].Joined("*.*")); }

void Engine::ListFolder(int side, FolderListing& listing, bool keepFiles, bool wantSizes,
                        ListAhead::Side* ahead) {
  ListStatus status = walk_[side].Status();
  if (ahead) {  // opened and listed ahead
    if (status == ListStatus::Ok) status = ahead->listed;
    listing = std::move(ahead->listing);
  } else {
    listing = FolderListing{};
    if (status == ListStatus::Ok) {
      const FolderHandle folder = walk_[side].Handle();
      // A folder that went away while the walk was below it can be searched no more.
      status = folder == kNoFolder ? ListStatus::OtherError
                                   : ListEntries(fs_, folder, keepFiles, wantSizes, listing);
    }
  }
  state_.folderTotal[side].store(
      state_.folderTotal[side].load(std::memory_order_relaxed) + listing.size,
      std::memory_order_relaxed);
  switch (status) {
    case ListStatus::Ok:
      // The entry enumerated last comes first.
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
  WalkFromTexts(folder1, folder2, &Engine::CompareFolderPair, true, CompareWantsSizes());
}

void Engine::PreScanFolderPair(const std::string& folder1, const std::string& folder2) {
  WalkFromTexts(folder1, folder2, &Engine::PreScanFolderPair, false, true);
}

void Engine::WalkFromTexts(const std::string& folder1, const std::string& folder2,
                           void (Engine::*step)(ListAhead::Side*), bool keepFiles, bool wantSizes) {
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
      ListAhead::Side roots[2];
      const bool bothOpen = walk_[0].Handle() != kNoFolder && walk_[1].Handle() != kNoFolder;
      if (bothOpen)
        ListBoth(fs_, {walk_[0].Handle(), walk_[1].Handle()}, keepFiles, wantSizes, roots);
      (this->*step)(bothOpen ? roots : nullptr);
    } catch (const std::bad_alloc&) {
      OutOfMemoryStop("Out of Memory.\n");
    }
  });
}

void Engine::CompareFolderPair(ListAhead::Side* ahead) {
  state_.preScanning = 0;
  FolderListing side0, side1;
  ListFolder(0, side0, true, CompareWantsSizes(), ahead ? &ahead[0] : nullptr);
  ListFolder(1, side1, true, CompareWantsSizes(), ahead ? &ahead[1] : nullptr);
  WalkEntries(side1.files, 1, side0.files, true, Kind::Files);
  WalkEntries(side0.files, 0, side1.files, false, Kind::Files);
  if (state_.recursive == 1) {
    WalkEntries(side1.subFolders, 1, side0.subFolders, true, Kind::SubFolders);
    WalkEntries(side0.subFolders, 0, side1.subFolders, false, Kind::SubFolders);
  }
}

void Engine::PreScanFolderPair(ListAhead::Side* ahead) {
  state_.preScanning = 1;
  char text[64];
  int64_t m = Smaller(state_.folderTotal[0], state_.folderTotal[1]);
  sink_.SetPanel(Panel::Panel3, std::string_view(text, FormatRunSize(text, 0, m)));
  FolderListing side0, side1;
  ListFolder(0, side0, false, true, ahead ? &ahead[0] : nullptr);
  if (Stopped()) return;
  ListFolder(1, side1, false, true, ahead ? &ahead[1] : nullptr);
  if (Stopped()) return;
  if (state_.recursive == 1)
    WalkEntries(side0.subFolders, 0, side1.subFolders, false, Kind::SubFolders);
}

void Engine::WalkEntries(const std::vector<FileEntry>& walked, int walkedSide,
                         const std::vector<FileEntry>& other, bool compare, Kind kind) {
  if (walked.empty()) return;
  const NameIndex index(other, state_.ignoreCase == 1);
  if (kind == Kind::Files && compare) {
    CompareWalk(walked, walkedSide, index);
    return;
  }
  if (kind == Kind::SubFolders && (compare || state_.preScanning == 1)) {
    EnterWalk(walked, walkedSide, index, compare);
    return;
  }
  for (const FileEntry& entry : walked) {
    if (Stopped()) return;  // before every entry and its lookup
    FindCounterpart(entry, walkedSide, index.Find(entry.name), compare, kind);
  }
}

// The comparing walk of a folder's files. Its pairs are known before they are compared: they
// go to the read-ahead in walk order, up to kPairsInFlight ahead of the one being compared.
void Engine::CompareWalk(const std::vector<FileEntry>& walked, int walkedSide,
                         const NameIndex& index) {
  struct DropOnExit {
    ReadAhead& readAhead;
    ~DropOnExit() { readAhead.DropAll(); }  // a stop leaves pairs in flight
  } drop{readAhead_};
  std::deque<const FileEntry*> found;  // counterparts of the entries looked up ahead
  size_t ahead = 0;                    // entries looked up so far
  for (size_t i = 0; i < walked.size(); ++i) {
    if (Stopped()) return;  // before every entry and its lookup
    while (ahead < walked.size() && (ahead == i || readAhead_.HasRoom())) {
      const FileEntry& entry = walked[ahead++];
      const FileEntry* counterpart = entry.ambiguous ? nullptr : index.Find(entry.name);
      found.push_back(counterpart);
      if (counterpart && !counterpart->ambiguous) {
        const FileEntry& first = walkedSide == 0 ? entry : *counterpart;
        const FileEntry& second = walkedSide == 0 ? *counterpart : entry;
        readAhead_.Submit(walk_[0].Handle(), first.name, walk_[1].Handle(), second.name);
      }
    }
    const FileEntry* counterpart = found.front();
    found.pop_front();
    FindCounterpart(walked[i], walkedSide, counterpart, true, Kind::Files);
  }
}

// The entering walk of a folder's sub-folders. On a slow drive the pairs it will enter are
// opened and listed ahead, in its order, up to ListAhead::kPerFolder ahead of the one entered.
void Engine::EnterWalk(const std::vector<FileEntry>& walked, int walkedSide, const NameIndex& index,
                       bool compare) {
  struct Found {
    const FileEntry* counterpart;
    ListAhead::Job* job;
  };
  struct DropOnExit {
    ListAhead& listAhead;
    WalkPath* walks;
    std::deque<Found> found;  // looked up ahead, not entered yet
    size_t jobs = 0;          // how many of them are listed ahead
    bool pinned = false;
    ~DropOnExit() {  // a stop leaves pairs listed ahead
      for (Found& f : found)
        if (f.job) listAhead.Drop(f.job);
      if (pinned)
        for (int side = 0; side < 2; ++side) walks[side].Unpin();
    }
  } ahead{listAhead_, walk_, {}, 0, false};
  const bool keepFiles = state_.preScanning != 1;
  const bool wantSizes = !keepFiles || CompareWantsSizes();
  size_t looked = 0;  // entries looked up so far
  for (size_t i = 0; i < walked.size(); ++i) {
    if (Stopped()) return;  // before every entry and its lookup
    while (looked < walked.size()) {
      const bool wanted = listAhead_.Wanted(ahead.jobs);  // one question per entry
      if (looked > i && !wanted) break;
      const FileEntry& entry = walked[looked++];
      Found found{entry.ambiguous ? nullptr : index.Find(entry.name), nullptr};
      if (found.counterpart && !found.counterpart->ambiguous && wanted) {
        if (!ahead.pinned)
          for (int side = 0; side < 2; ++side) walk_[side].Pin();
        ahead.pinned = true;
        const FileEntry& first = walkedSide == 0 ? entry : *found.counterpart;
        const FileEntry& second = walkedSide == 0 ? *found.counterpart : entry;
        found.job = listAhead_.Submit(walk_[0].Handle(), first.name, walk_[1].Handle(), second.name,
                                      walk_[0].Depth(), keepFiles, wantSizes);
        ++ahead.jobs;
      }
      ahead.found.push_back(found);
    }
    Found next = ahead.found.front();
    ahead.found.pop_front();
    if (next.job) --ahead.jobs;
    FindCounterpart(walked[i], walkedSide, next.counterpart, compare, Kind::SubFolders, next.job);
  }
}

void Engine::FindCounterpart(const FileEntry& entry, int walkedSide, const FileEntry* counterpart,
                             bool compare, Kind kind, ListAhead::Job* job) {
  struct DropUnentered {  // a pair listed ahead that is not entered after all
    ListAhead& listAhead;
    ListAhead::Job*& job;
    ~DropUnentered() {
      if (job) listAhead.Drop(job);
    }
  } drop{listAhead_, job};
  WalkPath& walked = walk_[walkedSide];
  if (entry.ambiguous) {  // which file of that name it is cannot be told
    ReportError(MsgCantOpen, walked.Joined(entry.name));
    return;
  }
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
    CompareFiles(first, second, entry.size);  // the next pair of the read-ahead
  else
    EnterSubFolders(first, second, job);
}

void Engine::EnterSubFolders(std::string_view name1, std::string_view name2, ListAhead::Job*& job) {
  ListAhead::Side ahead[2];
  const bool listedAhead = job != nullptr;
  if (listedAhead) {
    listAhead_.Take(job, ahead);
    job = nullptr;
    walk_[0].Enter(name1, ahead[0].opened);
    walk_[1].Enter(name2, ahead[1].opened);
  } else {
    const auto began = std::chrono::steady_clock::now();
    walk_[0].Enter(name1);
    walk_[1].Enter(name2);
    listAhead_.NotePairOpened(std::chrono::steady_clock::now() - began);
  }
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
    PreScanFolderPair(listedAhead ? ahead : nullptr);
  else
    CompareFolderPair(listedAhead ? ahead : nullptr);
}

void Engine::CompareFiles(std::string_view name1, std::string_view name2, int64_t size) {
  const int64_t errorsBefore = state_.errorCount.load(std::memory_order_relaxed);
  ReadAhead::Pair* pair = readAhead_.Take();  // opened (or tried) in the walk's order
  struct Release {
    ReadAhead& readAhead;
    ReadAhead::Pair* pair;
    ~Release() { readAhead.Release(pair); }  // its files closed, whichever way it ends
  } release{readAhead_, pair};
  const OpenedFile file1 = readAhead_.File(pair, 0), file2 = readAhead_.File(pair, 1);
  if (file1.handle == kNoFile) {
    ReportError(MsgCantOpen, walk_[0].Joined(name1));
    return;
  }
  if (file2.handle == kNoFile) {
    ReportError(MsgCantOpen, walk_[1].Joined(name2));
    return;
  }
  if (size == kUnknownSize) size = file2.size == kUnknownSize ? 0 : file2.size;
  sink_.SetPanel(Panel::Panel1, walk_[0].Joined(name1));
  BlockReader reader1(readAhead_, pair, 0);
  BlockReader reader2(readAhead_, pair, 1);
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
