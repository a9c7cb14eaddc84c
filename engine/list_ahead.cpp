#include "engine/list_ahead.h"

#include <algorithm>
#include <exception>
#include <new>
#include <system_error>

#include "engine/engine.h"
#include "engine/progress_format.h"

namespace vemo {
namespace {

// Collects one folder's entries: files with their sizes (or only their sizes), sub-folders,
// nothing whose name begins with a full stop.
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
      OutOfMemoryStop("Out of Memory.\n");
    }
  }

 private:
  FolderListing& listing_;
  bool keepFiles_;
};

}  // namespace

ListStatus ListEntries(FileSystem& fs, FolderHandle folder, bool keepFiles, bool wantSizes,
                       FolderListing& listing) {
  ListingReceiver receiver(listing, keepFiles);
  try {
    return fs.List(folder, receiver, wantSizes);
  } catch (const std::bad_alloc&) {
    OutOfMemoryStop("Out of memory.\n");
  }
}

void ListBoth(FileSystem& fs, const FolderHandle (&folders)[2], bool keepFiles, bool wantSizes,
              ListAhead::Side (&sides)[2]) {
  // What a listing throws goes on from here, as from a listing of the walk's own.
  std::exception_ptr failed[2];
  auto list = [&](int side) {
    try {
      sides[side].listed =
          ListEntries(fs, folders[side], keepFiles, wantSizes, sides[side].listing);
    } catch (...) {
      failed[side] = std::current_exception();
    }
  };
  struct JoinOnExit {
    std::thread thread;
    ~JoinOnExit() {
      if (thread.joinable()) thread.join();
    }
  } other;
  if (SpareProcessor()) {
    try {
      other.thread = std::thread(list, 1);
    } catch (const std::system_error&) {  // no thread to be had: one after the other
    }
  }
  list(0);
  if (other.thread.joinable())
    other.thread.join();
  else
    list(1);
  for (const std::exception_ptr& failure : failed)
    if (failure) std::rethrow_exception(failure);
}

struct ListAhead::Job {
  FolderHandle folder[2];
  std::string name[2];
  size_t depth = 0, serial = 0;
  bool keepFiles = false, wantSizes = false;
  // Opening: the folders it is opened from are in use (the walk keeps them open until then).
  enum State { Queued, Opening, Listing, Done } state = Queued;
  bool dropped = false;       // by the walk, while a thread was listing it
  std::exception_ptr failed;  // what an open or a listing threw: thrown again when taken
  Side side[2];
};

ListAhead::ListAhead(FileSystem& fs) : fs_(fs) {}

ListAhead::~ListAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  workToDo_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  for (const std::unique_ptr<Job>& job : jobs_) CloseFolders(*job);  // none, unless the walk threw
}

void ListAhead::CloseFolders(Job& job) {
  for (Side& side : job.side)
    if (side.opened.handle != kNoFolder) fs_.CloseFolder(side.opened.handle);
}

void ListAhead::NotePairOpened(DrivePace::Duration took) {
  std::lock_guard<std::mutex> lock(mutex_);
  NoteTime(took / 2);
}

void ListAhead::NoteTime(DrivePace::Duration took) {
  const bool wasSlow = pace_.Slow();
  if (pace_.Note(took) && !wasSlow && idle_ > 0) workToDo_.notify_all();
}

bool ListAhead::Wanted(size_t queuedHere) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return (pace_.Slow() || SpareProcessor()) && queuedHere < kPerFolder &&
         jobs_.size() < kPairsAhead;
}

int ListAhead::Allowed(bool awake) const {
  // A slow drive gets every thread; one that answers at once, one thread where enough pairs wait
  // to be worth its wake-up, and that thread goes on while any pair waits.
  if (pace_.Slow()) return kThreads;
  size_t queued = 0;
  for (const std::unique_ptr<Job>& job : jobs_) queued += job->state == Job::Queued;
  return pace_.Threads(kThreads, queued, awake ? 1 : kQueuedForOneThread);
}

ListAhead::Job* ListAhead::Submit(FolderHandle folder1, std::string_view name1,
                                  FolderHandle folder2, std::string_view name2, size_t depth,
                                  bool keepFiles, bool wantSizes) {
  if (threads_.empty())
    for (int i = 0; i < kThreads; ++i) threads_.emplace_back([this] { Work(); });
  std::lock_guard<std::mutex> lock(mutex_);
  Job& job = *jobs_.emplace_back(std::make_unique<Job>());
  job.folder[0] = folder1;
  job.name[0] = name1;
  job.folder[1] = folder2;
  job.name[1] = name2;
  job.depth = depth;
  job.serial = serial_++;
  job.keepFiles = keepFiles;
  job.wantSizes = wantSizes;
  // A thread is woken only where one may list: on a quick drive, a wake-up for each pair that
  // finds nothing it may do costs the walk more than the listing.
  if (idle_ > 0 && active_ < Allowed()) workToDo_.notify_one();
  return &job;
}

ListAhead::Job* ListAhead::Next() {
  // The walk goes depth first: the deepest pairs are entered soonest, and of one depth the
  // first queued.
  Job* next = nullptr;
  for (const std::unique_ptr<Job>& job : jobs_)
    if (job->state == Job::Queued && (!next || job->depth > next->depth ||
                                      (job->depth == next->depth && job->serial < next->serial)))
      next = job.get();
  return next;
}

void ListAhead::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  bool listed = false;  // awake after a listing: the thread goes on while any pair is queued
  for (;;) {
    Job* job = nullptr;
    auto found = [&](bool awake) { return active_ < Allowed(awake) && (job = Next()) != nullptr; };
    if (quit_) return;
    if (!(listed && found(true))) {
      ++idle_;
      workToDo_.wait(lock, [&] { return quit_ || found(false); });
      --idle_;
      if (quit_) return;
    }
    listed = true;
    ++active_;
    Do(*job, lock);
    --active_;
    if (job->dropped) Forget(job);
  }
}

void ListAhead::Do(Job& job, std::unique_lock<std::mutex>& lock) {
  // As the walk does it: both opens, then both listings.
  job.state = Job::Opening;
  lock.unlock();
  try {
    const auto began = std::chrono::steady_clock::now();
    for (int side = 0; side < 2; ++side)
      job.side[side].opened = OpenSubFolder(fs_, job.folder[side], job.name[side]);
    const auto took = std::chrono::steady_clock::now() - began;
    lock.lock();
    NoteTime(took / 2);
    job.state = Job::Listing;
    opened_.notify_all();
    lock.unlock();
    for (Side& side : job.side)
      if (side.opened.status == ListStatus::Ok)
        side.listed =
            ListEntries(fs_, side.opened.handle, job.keepFiles, job.wantSizes, side.listing);
  } catch (...) {
    job.failed = std::current_exception();
  }
  if (!lock.owns_lock()) lock.lock();
  job.state = Job::Done;
  opened_.notify_all();
  done_.notify_all();
}

void ListAhead::Take(Job* job, Side (&sides)[2]) {
  std::unique_lock<std::mutex> lock(mutex_);
  // Rather than wait while a thread lists this job, the walk lists the next one no thread has
  // begun: two listings at once, not a hand-off for each.
  while (job->state != Job::Done) {
    Job* next = job->state == Job::Queued ? job : Next();
    if (!next) {
      done_.wait(lock, [job] { return job->state == Job::Done; });
      break;
    }
    Do(*next, lock);
  }
  if (job->failed) {
    const std::exception_ptr failed = job->failed;
    Forget(job);
    std::rethrow_exception(failed);
  }
  for (int side = 0; side < 2; ++side) sides[side] = std::move(job->side[side]);
  jobs_.remove_if([job](const std::unique_ptr<Job>& j) { return j.get() == job; });
}

void ListAhead::Drop(Job* job) {
  std::unique_lock<std::mutex> lock(mutex_);
  // Its opens are quick to end, and the walk may close their folders after this; a listing
  // may take long, and needs nothing of the walk.
  opened_.wait(lock, [job] { return job->state != Job::Opening; });
  if (job->state == Job::Listing)
    job->dropped = true;  // its thread lets it go
  else
    Forget(job);
}

void ListAhead::Forget(Job* job) {
  CloseFolders(*job);
  jobs_.remove_if([job](const std::unique_ptr<Job>& j) { return j.get() == job; });
}

}  // namespace vemo
