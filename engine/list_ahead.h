// Keeps a slow drive busy while the walk is elsewhere: the sub-folder pairs the walk will enter
// next are opened and listed by a few threads, the pairs it needs soonest first. The walk itself
// is unchanged: it enters the pairs in its own order, takes their folders and listings as its
// own calls would have given them, and reports what they say in its place. A drive that makes
// every call wait gets every thread; a quick one gets one, and only for a folder of many
// sub-folders; elsewhere the walk opens and lists on its own.
//
// Bounds: at most kPairsAhead pairs are queued, being listed, or listed and not yet entered
// (two open folders each), and at most kPerFolder of them for the sub-folders of one folder; the
// folders they are opened from stay open meanwhile (WalkPath::Pin).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/drive_pace.h"
#include "engine/file_system.h"
#include "engine/name_index.h"
#include "engine/walk_path.h"

namespace vemo {

// One folder's entries as the walk keeps them, in enumeration order: its files (or none, where
// only their sizes were wanted), its sub-folders, and its files' sizes in size units.
struct FolderListing {
  std::vector<FileEntry> files;
  std::vector<FileEntry> subFolders;
  int64_t size = 0;
};
// Lists an open folder into `listing`: nothing whose name begins with a full stop. Any thread.
ListStatus ListEntries(FileSystem& fs, FolderHandle folder, bool keepFiles, bool wantSizes,
                       FolderListing& listing);

class ListAhead {
 public:
  static constexpr size_t kPairsAhead = 32;
  static constexpr size_t kPerFolder = 16;
  static constexpr int kThreads = 8;
  // A folder whose open takes longer than this, on average, is on a drive that makes each call
  // wait.
  static constexpr std::chrono::microseconds kSlowOpen{250};
  // On a drive that answers at once, one thread still pays where a second processor runs it and
  // this many pairs wait to be listed (a folder of many sub-folders): it lists while the walk
  // works. A pair or two (a chain of folders) the walk lists quicker on its own.
  static constexpr size_t kQueuedForOneThread = 4;

  // One side of a pair, opened and (where it opened) listed.
  struct Side {
    OpenedFolder opened;
    ListStatus listed = ListStatus::Ok;
    FolderListing listing;
  };
  struct Job;

  explicit ListAhead(FileSystem& fs);
  ~ListAhead();  // ends the threads; every job has been taken or dropped by then
  ListAhead(const ListAhead&) = delete;
  ListAhead& operator=(const ListAhead&) = delete;

  // How long the walk's own opens of a folder pair took: what tells a slow drive.
  void NotePairOpened(DrivePace::Duration took);
  // Whether a pair may be queued now, with `queuedHere` queued for the current folder already.
  bool Wanted(size_t queuedHere) const;
  // Queues the pair name1 in folder1 and name2 in folder2, `depth` levels deep in the walk (the
  // deepest are needed soonest). The walk keeps both folders open until it is taken or dropped.
  Job* Submit(FolderHandle folder1, std::string_view name1, FolderHandle folder2,
              std::string_view name2, size_t depth, bool keepFiles, bool wantSizes);
  // Hands over what the job found, once it is done; a job no thread has begun the walk does
  // itself at once, and while a thread lists it, the walk lists the next queued one meanwhile.
  // What its opens or listings threw is thrown here. The job is gone afterwards.
  void Take(Job* job, Side (&sides)[2]);
  // The walk will not enter the pair: what it opened is closed (now, or once its thread is
  // done with it). The job is gone afterwards.
  void Drop(Job* job);

 private:
  void Work();  // a listing thread
  // Opens and lists both sides; called and returns under the lock, which it lets go meanwhile.
  void Do(Job& job, std::unique_lock<std::mutex>& lock);
  void Forget(Job* job);        // under the lock: closes what it opened and frees it
  void CloseFolders(Job& job);  // what it opened
  Job* Next();                  // under the lock: the queued job needed soonest, or none
  // Under the lock: how many threads may list at once; `awake`, for a thread that has just
  // listed.
  int Allowed(bool awake = false) const;
  void NoteTime(DrivePace::Duration took);  // under the lock: an open of a folder

  FileSystem& fs_;
  mutable std::mutex mutex_;
  // done_ wakes the walk waiting to take a job; opened_, the walk waiting to drop one.
  std::condition_variable workToDo_, opened_, done_;
  std::list<std::unique_ptr<Job>> jobs_;  // queued, being done, or done and not yet taken
  size_t serial_ = 0;                     // jobs submitted so far: their order within a depth
  DrivePace pace_{kSlowOpen};
  int idle_ = 0;    // threads waiting for work
  int active_ = 0;  // threads listing
  bool quit_ = false;
  std::vector<std::thread> threads_;
};

// Lists two open folders at once, the second on a thread of its own where a second processor
// runs it: the two folders a run starts from, which nothing lists ahead and which may each hold
// a great many entries.
void ListBoth(FileSystem& fs, const FolderHandle (&folders)[2], bool keepFiles, bool wantSizes,
              ListAhead::Side (&sides)[2]);

}  // namespace vemo
