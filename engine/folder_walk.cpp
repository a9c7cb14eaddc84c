#include "engine/folder_walk.h"

#include <cstring>
#include <new>

#include "base/scope_exit.h"
#include "engine/name_index.h"
#include "engine/out_of_memory.h"
#include "engine/progress_format.h"

namespace vemo {
namespace {

constexpr size_t kBlock = 10240;  // the unit of comparison, progress and stop polls
static_assert(LookAhead::kChunk % kBlock == 0, "a chunk holds whole blocks");

int64_t Smaller(int64_t a, int64_t b) { return a < b ? a : b; }

// Hands out a file's data block by block, from the chunks read ahead and then from chunks the
// walk reads itself: the blocks that reads of kBlock bytes would give, with a fraction of the
// calls. Where a chunk's read failed, the blocks before the failure are handed out and reading
// goes on block by block from there, as reads of one block each would have found it.
class BlockReader {
 public:
  BlockReader(FileSystem& fs, const LookAhead::FileSide& ahead, char* own)
      : fs_(fs), ahead_(ahead), own_(own) {}

  size_t Next(const char*& data) {
    if (pos_ == have_ && !ended_) Refill();
    const size_t n = have_ - pos_ < kBlock ? have_ - pos_ : kBlock;
    data = chunk_ + pos_;
    pos_ += n;
    return n;
  }

 private:
  void Refill() {
    pos_ = 0;
    if (blocks_) {
      const ReadResult read = fs_.ReadAt(ahead_.file.handle, offset_, own_, kBlock);
      chunk_ = own_;
      have_ = read.got;
      offset_ += static_cast<int64_t>(read.got);
      ended_ = read.got < kBlock;
      return;
    }
    ReadResult read;
    if (next_ < ahead_.count) {
      chunk_ = ahead_.chunk[next_].get();
      read = ahead_.read[next_++];
    } else {
      chunk_ = own_;
      read = fs_.ReadAt(ahead_.file.handle, offset_, own_, LookAhead::kChunk);
    }
    if (read.failed) {
      have_ = read.got / kBlock * kBlock;
      offset_ += static_cast<int64_t>(have_);
      blocks_ = true;
      if (have_ == 0) Refill();
      return;
    }
    have_ = read.got;
    offset_ += static_cast<int64_t>(read.got);
    ended_ = read.got < LookAhead::kChunk;
  }

  FileSystem& fs_;
  const LookAhead::FileSide& ahead_;
  char* own_;
  size_t next_ = 0;     // the next chunk read ahead
  int64_t offset_ = 0;  // where the next read starts
  const char* chunk_ = nullptr;
  size_t have_ = 0, pos_ = 0;
  bool ended_ = false;
  bool blocks_ = false;  // a read failed: one block a read from here
};

WalkKind KindOf(const RunState& state, bool preScan) {
  WalkKind kind;
  kind.preScan = preScan;
  kind.recursive = state.recursive == 1;
  kind.ignoreCase = state.ignoreCase == 1;
  kind.keepFiles = !preScan;
  // A recursive run took its totals in the pre-scan: its comparison's listings need no sizes,
  // and a file's own length comes with its open.
  kind.wantSizes = preScan || state.recursive != 1;
  return kind;
}

}  // namespace

FolderWalk::FolderWalk(RunState& state, FileSystem& fs, RunSink& sink, bool preScan)
    : state_(state),
      sink_(sink),
      preScan_(preScan),
      fs_(fs, gate_),
      walk_{WalkPath(fs_, fs), WalkPath(fs_, fs)},
      ahead_(fs, KindOf(state, preScan)) {
  ahead_.BindWalk(fs_, gate_, state.stopRequested);
}

bool FolderWalk::GiveUp() {
  if (!gate_.AbandonInCall()) return false;
  ahead_.Abandon();
  return true;
}

void FolderWalk::Run(const std::string& folder1, const std::string& folder2) {
  gate_.Bind();
  // Nothing stays open once the walk has ended, however it ended.
  const ScopeExit closeWalks([this] {
    for (int side = 0; side < 2; ++side) walk_[side].Close();
  });
  try {
    walk_[0].Start(folder1);
    walk_[1].Start(folder2);
    const OpenedFolder roots[2] = {walk_[0].Opened(), walk_[1].Opened()};
    const std::unique_ptr<Node> root = ahead_.ListRoots(roots);
    if (!root) return;  // a stop came first
    SharedFolder held[2];
    ahead_.Enter(*root, walk_[0].Depth(), held);  // the walk holds the roots already
    const ScopeExit leaveRoot([&] { ahead_.Leave(*root); });
    FolderPair(*root);
  } catch (const Abandoned&) {
  } catch (const std::bad_alloc& failure) {
    if (!gate_.IsAbandoned()) OutOfMemoryStop(OutOfMemoryText(failure));
  }
}

void FolderWalk::ReportError(Message message, std::string_view a, std::string_view b) {
  sink_.AddErrorLine(FormatMessageText(message, state_.language.load(), a, b, fs_.Separator()));
  state_.errorCount.fetch_add(1, std::memory_order_relaxed);
}

std::string FolderWalk::Pattern(int side) { return std::string(walk_[side].Joined("*.*")); }

void FolderWalk::TakeListing(const Node& node, int side) {
  const ListedSide& listed = node.side[side];
  state_.folderTotal[side].store(
      state_.folderTotal[side].load(std::memory_order_relaxed) + listed.listing.size,
      std::memory_order_relaxed);
  switch (listed.Status()) {
    case ListStatus::Ok: return;
    case ListStatus::NotFound: ReportError(MsgNoFileFound, Pattern(side)); return;
    case ListStatus::InvalidName: ReportError(MsgInvalidFile, Pattern(side)); return;
    case ListStatus::OtherError: ReportError(MsgDirSearchError, Pattern(side)); return;
  }
}

void FolderWalk::FolderPair(Node& node) {
  const FolderListing& one = node.side[0].listing;
  const FolderListing& two = node.side[1].listing;
  if (preScan_) {
    state_.preScanning = 1;
    char text[64];
    const int64_t m = Smaller(state_.folderTotal[0], state_.folderTotal[1]);
    sink_.SetPanel(Panel::Panel3, std::string_view(text, FormatRunSize(text, 0, m)));
    TakeListing(node, 0);
    if (Stopped()) return;
    TakeListing(node, 1);
    if (Stopped()) return;
    if (state_.recursive == 1) EnterWalk(node, 0);
    return;
  }
  state_.preScanning = 0;
  TakeListing(node, 0);
  TakeListing(node, 1);
  CompareWalk(node);
  ReportWalk(one.files, 0, two.files, Kind::Files);
  if (state_.recursive == 1) {
    EnterWalk(node, 1);
    ReportWalk(one.subFolders, 0, two.subFolders, Kind::SubFolders);
  }
}

void FolderWalk::CompareWalk(Node& node) {
  const std::vector<FileEntry>& walked = node.side[1].listing.files;
  size_t item = 0;
  for (size_t i = 0; i < walked.size(); ++i) {
    if (Stopped()) return;  // before every entry and its lookup
    const FileEntry* counterpart = node.match[0][i];
    if (!ActsOn(walked[i], counterpart)) {
      FindCounterpart(walked[i], 1, counterpart, true, Kind::Files);
      continue;
    }
    // Each side keeps the name as its own listing gave it.
    const LookAhead::JobRef job = ahead_.Take(node, item++, walk_);
    CompareFiles(counterpart->name, walked[i].name, walked[i].size, job);
  }
}

void FolderWalk::EnterWalk(Node& node, int walkedSide) {
  const std::vector<FileEntry>& walked = node.side[walkedSide].listing.subFolders;
  size_t item = node.fileItems;
  for (size_t i = 0; i < walked.size(); ++i) {
    if (Stopped()) return;  // before every entry and its lookup
    const FileEntry* counterpart = node.match[1][i];
    if (!ActsOn(walked[i], counterpart)) {
      FindCounterpart(walked[i], walkedSide, counterpart, walkedSide == 1, Kind::SubFolders);
      continue;
    }
    const std::string_view first = walkedSide == 0 ? walked[i].name : counterpart->name;
    const std::string_view second = walkedSide == 0 ? counterpart->name : walked[i].name;
    EnterSubFolders(first, second, ahead_.Take(node, item++, walk_));
  }
}

void FolderWalk::ReportWalk(const std::vector<FileEntry>& walked, int walkedSide,
                            const std::vector<FileEntry>& other, Kind kind) {
  if (walked.empty()) return;
  const NameIndex index(other, state_.ignoreCase == 1);
  for (const FileEntry& entry : walked) {
    if (Stopped()) return;  // before every entry and its lookup
    FindCounterpart(entry, walkedSide, entry.ambiguous ? nullptr : index.Find(entry.name), false,
                    kind);
  }
}

void FolderWalk::FindCounterpart(const FileEntry& entry, int walkedSide,
                                 const FileEntry* counterpart, bool compare, Kind kind) {
  WalkPath& walked = walk_[walkedSide];
  if (entry.ambiguous) {  // which file of that name it is cannot be told
    ReportError(MsgCantOpen, walked.Joined(entry.name));
    return;
  }
  if (!counterpart) {
    if (state_.ignoreNoFile != 1) ReportError(MsgNoCounterpart, walked.Text(), entry.name);
    return;
  }
  const bool actOn = kind == Kind::Files ? compare : (preScan_ || compare);
  // Its counterpart cannot be told from another of that name.
  if (actOn && counterpart->ambiguous) ReportError(MsgCantOpen, walked.Joined(entry.name));
}

void FolderWalk::EnterSubFolders(std::string_view name1, std::string_view name2,
                                 LookAhead::JobRef job) {
  if (!job) return;  // a stop came while it was listed
  SharedFolder held[2];
  const std::unique_ptr<Node> node = ahead_.Enter(job, walk_[0].Depth() + 1, held);
  job.Reset();
  const ScopeExit leaveBoth([&] {
    ahead_.Leave(*node);
    for (int side = 0; side < 2; ++side) walk_[side].Leave();
  });
  const std::string_view names[2] = {name1, name2};
  for (int side = 0; side < 2; ++side) {
    const OpenedFolder& opened = node->side[side].opened;
    walk_[side].Enter(names[side], OpenedFolder{std::move(held[side]), opened.status, opened.id});
  }
  for (int side = 0; side < 2; ++side) {
    if (walk_[side].IsLoop()) {
      // The same physical folder as one being walked: a link loop. Not entered.
      ReportError(MsgDirSearchError, Pattern(side));
      return;
    }
  }
  FolderPair(*node);
}

void FolderWalk::CompareFiles(std::string_view name1, std::string_view name2, int64_t size,
                              const LookAhead::JobRef& job) {
  if (!job) return;  // a stop came while it was opened
  const int64_t errorsBefore = state_.errorCount.load(std::memory_order_relaxed);
  const int failed = LookAhead::FailedOpen(job);
  if (failed == 0) {
    ReportError(MsgCantOpen, walk_[0].Joined(name1));
    return;
  }
  if (failed == 1) {
    ReportError(MsgCantOpen, walk_[1].Joined(name2));
    return;
  }
  const LookAhead::FileSide& file1 = LookAhead::File(job, 0);
  const LookAhead::FileSide& file2 = LookAhead::File(job, 1);
  if (size == kUnknownSize) size = file2.file.size == kUnknownSize ? 0 : file2.file.size;
  sink_.SetPanel(Panel::Panel1, walk_[0].Joined(name1));
  for (std::unique_ptr<char[]>& own : own_)
    if (!own) own.reset(new char[LookAhead::kChunk]);
  BlockReader reader1(fs_, file1, own_[0].get());
  BlockReader reader2(fs_, file2, own_[1].get());
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

void FolderWalk::ShowFileProgress(int64_t readBytes, int64_t size) {
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

}  // namespace vemo
