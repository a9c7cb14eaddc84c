// Keeps the drive busy while the walk works: what the walk will need next (the two folders it
// starts from, the sub-folder pairs it will enter, the file pairs it will compare) is opened,
// listed and read by a pool of I/O threads, what it needs soonest first, in its own order and
// across folders. The walk itself is unchanged: it takes each result in its place, as its own
// calls would have given it, and reports what it says there; what no thread has begun, the
// walk does itself, and while a thread works on what it needs, it does the next thing meanwhile.
//
// Items. In a folder pair whose listings are known (a Node), every pair the walk will act on is
// an item: the file pairs it will compare, then the sub-folder pairs it will enter (the
// pre-scan: only those). Items wait in the walk's order: a node listed ahead comes right after
// the item that listed it, before the items after that one; the walk's current folder pair
// before the pairs above it. Threads begin the first waiting item that fits the bounds:
// kFolderJobsAhead sub-folder pairs and kFileJobsAhead file pairs begun and not yet taken.
//
// Jobs. A begun item is a job, with one owner at a time: the thread that works on it (a
// sub-folder pair's two sides are two halves, one thread each), the look-ahead while it is done
// and waits for the walk, then the walk. A job the walk will not take (a stop, a link loop) is
// dropped: at once where no thread works on it, else by its thread when its call returns; its
// thread is abandoned at its gate, so it starts no further call. Nothing waits for a dropped job,
// and the end of a walk waits for no thread.
//
// Folders held. A node listed ahead holds its two folders until the walk enters it; the walk
// holds its own (walk_path.h). A job holds the folders it opens in while it works, no longer.
//
// Pace. A drive whose calls take longer than kSlowCall (the median of the last few) gets kThreads
// threads; one that answers at once, one thread where a second processor runs it and
// kQueuedForOneThread items wait (that thread goes on while any waits), else none.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/call_gate.h"
#include "engine/file_system.h"
#include "engine/folder_listing.h"
#include "engine/held_folder.h"
#include "engine/walk_path.h"

namespace vemo {

// What a walk is, as the look-ahead plans its items.
struct WalkKind {
  bool preScan = false;
  bool recursive = false;
  bool ignoreCase = false;
  bool keepFiles = true;  // the comparison keeps the files, the pre-scan only their sizes
  bool wantSizes = true;  // a recursive comparison took its sizes in the pre-scan
};

// One side of a folder pair as the walk takes it: its folder as opened, how its listing went,
// its entries as the walks go through them (ArrangeForWalk).
struct ListedSide {
  OpenedFolder opened;
  ListStatus listed = ListStatus::Ok;
  FolderListing listing;
  // The line the listing gives: how the open went, or where it opened, how the listing went.
  ListStatus Status() const { return opened.status == ListStatus::Ok ? listed : opened.status; }
};

// Whether the walk acts on an entry and the counterpart its lookup found: neither of them an
// entry whose name another one of its listing has.
inline bool ActsOn(const FileEntry& entry, const FileEntry* counterpart) {
  return !entry.ambiguous && counterpart && !counterpart->ambiguous;
}

class LookAhead {
 public:
  static constexpr int kThreads = 16;
  static constexpr size_t kFolderJobsAhead = 12;
  static constexpr size_t kFileJobsAhead = 24;
  static constexpr size_t kChunk = 81920;    // what one read asks for
  static constexpr size_t kChunksAhead = 3;  // read ahead of each file of a pair
  static constexpr std::chrono::microseconds kSlowCall{250};
  static constexpr size_t kQueuedForOneThread = 8;
  // How often a walk waiting for a thread looks whether a stop was asked for.
  static constexpr std::chrono::milliseconds kStopPoll{10};
  // Folders and files the look-ahead holds at the most, beside the walk's own: those of the
  // pairs begun and not taken, and on each thread the folders a job opens in and what a dropped
  // job still holds until its call returns.
  static constexpr size_t kMostOpen = 2 * kFolderJobsAhead + 2 * kFileJobsAhead + 4 * kThreads;

  struct Job;
  class Core;

  // A folder pair whose listings are known: what the walk finds in it, and its items.
  struct Node {
    ListedSide side[2];
    // The walk's lookups, made ahead: match[0] per file of side 1 (the comparison's first walk),
    // match[1] per sub-folder the walk enters from (side 1; the pre-scan's, side 0): the first
    // entry of the other side with a matching name, or none.
    std::vector<const FileEntry*> match[2];
    std::vector<uint32_t> items;  // the entries acted on: file entries, then sub-folder entries
    size_t fileItems = 0;

    // The look-ahead's own, under its lock.
    Node* parent = nullptr;  // the node whose item listed it, until the walk enters it
    size_t item = 0;         // which item of the parent
    size_t depth = 0;        // a node the walk is in: how deep
    bool onPath = false;     // the walk is in it
    std::weak_ptr<const HeldFolder> path[2];  // the walk's folders, while the walk holds them
    size_t begun = 0;                         // items begun (by a thread or by the walk), in order
    size_t taken = 0;                         // items the walk has taken
    std::deque<std::unique_ptr<Job>> jobs;    // items [taken, begun) that threads have begun
    bool waiting = false;                     // its items that are not begun wait in the order
    bool parked = false;                      // they would wait, but its folders are let go
    Node();
    ~Node();
  };

  // The walk's hold on a job it took: a file pair opened and read ahead, or a sub-folder pair
  // listed. Letting go drops it.
  class JobRef {
   public:
    JobRef() = default;
    JobRef(std::shared_ptr<Core> core, Job* job) : core_(std::move(core)), job_(job) {}
    JobRef(JobRef&& other) noexcept : core_(std::move(other.core_)), job_(other.job_) {
      other.job_ = nullptr;
    }
    JobRef& operator=(JobRef&& other) noexcept;
    ~JobRef() { Reset(); }
    explicit operator bool() const { return job_ != nullptr; }
    void Reset();
    Job* operator->() const { return job_; }
    Job& operator*() const { return *job_; }

   private:
    std::shared_ptr<Core> core_;
    Job* job_ = nullptr;
  };

  // The data of one side of a taken file pair: its open, the chunks read ahead, where reading
  // goes on.
  struct FileSide {
    OpenedFile file;
    std::unique_ptr<char[]> chunk[kChunksAhead];
    ReadResult read[kChunksAhead];
    size_t count = 0;    // chunks read ahead
    int64_t end = 0;     // where the chunks read ahead end
    bool ended = false;  // a chunk came back short or failed: nothing more is read ahead
  };

  LookAhead(FileSystem& fs, const WalkKind& kind);
  ~LookAhead();  // its threads end once their calls return; nothing waits for them
  LookAhead(const LookAhead&) = delete;
  LookAhead& operator=(const LookAhead&) = delete;

  // The walk's own calls go through `walk` (gated); it waits for nothing once `stop` is 1.
  void BindWalk(FileSystem& walk, CallGate& gate, const std::atomic<int>& stop);

  // Lists the two folders a walk starts from, the second beside the first where a thread can
  // take it; none when a stop came first. The node is the walk's.
  std::unique_ptr<Node> ListRoots(const OpenedFolder (&roots)[2]);
  // The walk is in a node now (`depth` levels deep): the roots, or the sub-folder pair of a
  // taken job (the node becomes the walk's). Its folders go to the walk (`folders`), and its
  // items wait for threads while the walk holds them.
  void Enter(Node& root, size_t depth, SharedFolder (&folders)[2]);
  std::unique_ptr<Node> Enter(const JobRef& job, size_t depth, SharedFolder (&folders)[2]);
  // Item `item` of the node the walk is in: taken once done (what it threw is thrown here);
  // done by the walk where no thread began it, in the walk's current folders (asked for only
  // then). Empty when a stop came first.
  JobRef Take(Node& node, size_t item, WalkPath (&walks)[2]);
  // The walk leaves the node: what is still begun or waiting in it goes.
  void Leave(Node& node);
  // The walk was given up in a call that does not return: threads begin nothing more, and what
  // the look-ahead holds for the walk goes now.
  void Abandon();

  // A taken file pair: its files, and the side whose open failed (-1: both opened; the second
  // is not tried after the first).
  static const FileSide& File(const JobRef& job, int side);
  static int FailedOpen(const JobRef& job);

 private:
  void EnterLocked(Node& node, size_t depth, SharedFolder (&folders)[2]);

  std::shared_ptr<Core> core_;
};

}  // namespace vemo
