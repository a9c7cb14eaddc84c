#include "engine/look_ahead.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <set>
#include <thread>

#include "base/scope_exit.h"
#include "engine/drive_pace.h"
#include "engine/name_index.h"
#include "engine/threads.h"

namespace vemo {
namespace {

using Clock = std::chrono::steady_clock;

size_t Remaining(const LookAhead::Node& node) { return node.items.size() - node.begun; }

// The lookups of one walk over `walked`, made ahead, and the entries it acts on.
void Match(const std::vector<FileEntry>& walked, const std::vector<FileEntry>& other,
           bool ignoreCase, std::vector<const FileEntry*>& match, std::vector<uint32_t>& items) {
  if (walked.empty()) return;
  const NameIndex index(other, ignoreCase);
  match.resize(walked.size());
  for (size_t i = 0; i < walked.size(); ++i) {
    match[i] = walked[i].ambiguous ? nullptr : index.Find(walked[i].name);
    if (ActsOn(walked[i], match[i])) items.push_back(static_cast<uint32_t>(i));
  }
}

// A listed pair's items: the file pairs of the comparison's first walk (side 1 against side 0),
// then the sub-folder pairs of its third walk, or of the pre-scan's walk (side 0 against side 1).
void Plan(LookAhead::Node& node, const WalkKind& kind) {
  const FolderListing& one = node.side[0].listing;
  const FolderListing& two = node.side[1].listing;
  if (!kind.preScan) {
    Match(two.files, one.files, kind.ignoreCase, node.match[0], node.items);
    node.fileItems = node.items.size();
  }
  if (!kind.recursive) return;
  if (kind.preScan)
    Match(one.subFolders, two.subFolders, kind.ignoreCase, node.match[1], node.items);
  else
    Match(two.subFolders, one.subFolders, kind.ignoreCase, node.match[1], node.items);
}

// Chunk buffers, kept for the next pair: a pair's first reads would otherwise allocate.
class ChunkPool {
 public:
  std::unique_ptr<char[]> Get() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!free_.empty()) {
        std::unique_ptr<char[]> chunk = std::move(free_.back());
        free_.pop_back();
        return chunk;
      }
    }
    return std::unique_ptr<char[]>(new char[LookAhead::kChunk]);
  }
  void Put(std::unique_ptr<char[]> chunk) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.size() < kKept) free_.push_back(std::move(chunk));
  }

 private:
  static constexpr size_t kKept = (LookAhead::kFileJobsAhead + 2) * 2 * LookAhead::kChunksAhead;
  std::mutex mutex_;
  std::vector<std::unique_ptr<char[]>> free_;
};

}  // namespace

struct LookAhead::Job {
  enum Kind { Files, Folders } kind = Files;
  enum Half { NotBegun, Working, Finished };
  Node* node = nullptr;  // whose item it is, while the look-ahead keeps it
  size_t item = 0;
  bool counted = false;  // within the bounds of items begun and not taken
  bool root = false;     // the two folders a walk starts from, open already
  SharedFolder in[2];    // the folders it opens in, until it has
  std::string name[2];
  int halves = 1;  // a sub-folder pair: one a side
  Half half[2] = {NotBegun, NotBegun};
  CallGate* worker[2] = {};
  Clock::duration perCall[2] = {};
  std::exception_ptr failure[2];
  bool done = false;
  bool dropped = false;          // the look-ahead gave it up while a thread worked on it
  std::unique_ptr<Node> listed;  // a sub-folder pair: both sides, listed and planned
  FileSide file[2];              // a file pair
  int failedOpen = -1;

  bool InWork() const { return half[0] == Working || half[1] == Working; }
  int HalfNotBegun() const {
    for (int h = 0; h < halves; ++h)
      if (half[h] == NotBegun) return h;
    return -1;
  }
};

LookAhead::Node::Node() = default;
LookAhead::Node::~Node() = default;

class LookAhead::Core : public std::enable_shared_from_this<Core> {
 public:
  using Lock = std::unique_lock<std::mutex>;
  using Trash = std::vector<std::unique_ptr<Job>>;
  struct Claim {
    Job* job = nullptr;
    int half = 0;
  };

  Core(FileSystem& fs, const WalkKind& kind) : fs_(fs), kind_(kind) {}

  FileSystem& fs_;
  const WalkKind kind_;
  FileSystem* walkFs_ = nullptr;
  CallGate* walkGate_ = nullptr;
  const std::atomic<int>* stop_ = nullptr;
  ChunkPool chunks_;

  std::mutex mutex_;
  std::condition_variable work_;  // threads wait here for work
  std::condition_variable done_;  // the walk waits here for a job a thread works on
  struct Order {
    bool operator()(const Node* a, const Node* b) const;
  };
  std::set<Node*, Order> waiting_;  // nodes whose items wait, the walk's next first
  std::vector<Job*> halves_;        // sub-folder pairs begun, with a side no thread has begun
  std::vector<Node*> path_;         // the nodes the walk is in, shallowest first
  std::vector<CallGate*> gates_;    // of the threads
  size_t queued_ = 0;               // items waiting
  size_t foldersAhead_ = 0, filesAhead_ = 0;
  int walkOffers_ = 0;  // sides of the walk's own pairs offered to a thread
  int threads_ = 0, starting_ = 0, idle_ = 0, working_ = 0;
  bool noThreads_ = false;
  bool quit_ = false;
  DrivePace pace_{kSlowCall};
  const Job* walkWaitsFor_ = nullptr;
  std::exception_ptr failure_;  // a thread's own failure, not a job's: the walk's to throw

  // Under the lock.
  int Allowed(bool awake) const;
  void Wake();
  // A job leaves the bounds. A thread that stopped at them is woken once half of them are free
  // again: it then begins many pairs for one wake-up.
  void Uncount(Job& job) {
    if (!job.counted) return;
    job.counted = false;
    const bool files = job.kind == Job::Files;
    const size_t ahead = --(files ? filesAhead_ : foldersAhead_);
    if (ahead == (files ? kFileJobsAhead : kFolderJobsAhead) / 2) Wake();
  }
  void AddThread();
  static void RunIoThread(void* context);  // a thread of AddThread: owns a Core reference
  static constexpr size_t kIoThreadStackBytes = 1 << 20;
  void Queue(Node& node);
  void Unqueue(Node& node);
  bool Sources(Node& node, SharedFolder (&in)[2]) const;
  std::unique_ptr<Job> MakeJob(Node& node, size_t item, const SharedFolder (&in)[2]);
  // File pairs the walk is done with, closed, for the next pairs (their chunks kept): the walk
  // leaves them in returned_ (its own), the lock moves them to spare_.
  void TakeReturned();
  std::vector<std::unique_ptr<Job>> returned_, spare_;
  Claim ClaimWork(CallGate& gate, bool paced, bool awake);
  void Begin(Job& job, int half, CallGate& gate);
  void Finish(Job& job, int half, Lock& lock);
  void Disown(std::unique_ptr<Job> job, Trash& trash);
  void Unlink(Node& node, Trash& trash);
  void Shut(Trash& trash);
  // The walk's side, lock held: does what it can of its own job and waits for the rest; false
  // when a stop came first.
  bool RunWalkJob(Job& job, Lock& lock);
  bool Help(Lock& lock);
  void WorkOn(const Claim& claim, CallGate& gate, FileSystem& calls, Lock& lock);
  bool Wait(const Job& job, Lock& lock);

  // No lock.
  void Work();  // an I/O thread
  void Do(Job& job, int half, FileSystem& calls);
  void ListSide(Job& job, int side, FileSystem& calls);
  void OpenAndRead(Job& job, FileSystem& calls);
  void Destroy(std::unique_ptr<Job> job);
  void Recycle(std::unique_ptr<Job> job);  // the walk's, of a taken file pair
  void Destroy(Trash& trash) {
    for (std::unique_ptr<Job>& job : trash) Destroy(std::move(job));
    trash.clear();
  }
  static void Rethrow(const Job& job) {
    for (const std::exception_ptr& failure : job.failure)
      if (failure) std::rethrow_exception(failure);
  }
};

bool LookAhead::Core::Order::operator()(const Node* a, const Node* b) const {
  // Each node listed ahead hangs from an item of the one above it, up to a node the walk is in
  // (an anchor): the walk's order is the deeper anchor first, then the items from the anchor
  // down, a node listed from an item before that item's later siblings.
  std::array<size_t, kFolderJobsAhead + 1> itemsA, itemsB;  // from the node up to its anchor
  size_t na = 0, nb = 0;
  const Node* x = a;
  for (; !x->onPath; x = x->parent) itemsA[na++] = x->item;
  const Node* y = b;
  for (; !y->onPath; y = y->parent) itemsB[nb++] = y->item;
  if (x != y) return x->depth > y->depth;
  while (na > 0 && nb > 0) {
    --na;
    --nb;
    if (itemsA[na] != itemsB[nb]) return itemsA[na] < itemsB[nb];
  }
  return na > nb;  // one was listed from an item of the other: its items come first
}
static_assert(LookAhead::kFolderJobsAhead + 1 <= 32, "nodes listed ahead hang no deeper");

int LookAhead::Core::Allowed(bool awake) const {
  int allowed = pace_.Threads(kThreads, queued_ + halves_.size(), awake ? 1 : kQueuedForOneThread);
  if (walkOffers_ > 0 && SpareProcessor()) allowed = std::max(allowed, 1);
  return allowed;
}

void LookAhead::Core::Wake() {
  if (quit_) return;
  int wanted =
      std::min<int>(Allowed(false) - working_, static_cast<int>(queued_ + halves_.size())) -
      starting_;
  for (; wanted > 0 && idle_ > 0; --wanted) work_.notify_one();
  for (; wanted > 0 && threads_ < kThreads && !noThreads_; --wanted) AddThread();
}

void LookAhead::Core::AddThread() {
  // A thread that cannot be had leaves its work to the walk. Started as the walk's own thread
  // is (threads.h), not as a detached std::thread: on Windows this toolchain's runtime can
  // fault in a std::thread detached before it runs.
  try {
    auto self = std::make_unique<std::shared_ptr<Core>>(shared_from_this());
    if (!StartThread(kIoThreadStackBytes, RunIoThread, self.get())) {
      noThreads_ = true;
      return;
    }
    self.release();  // the thread's now
    ++threads_;
    ++starting_;
  } catch (...) {
    noThreads_ = true;
  }
}

void LookAhead::Core::RunIoThread(void* context) {
  const std::unique_ptr<std::shared_ptr<Core>> self(static_cast<std::shared_ptr<Core>*>(context));
  (*self)->Work();
}

void LookAhead::Core::Queue(Node& node) {
  if (node.waiting || node.parked || Remaining(node) == 0) return;
  waiting_.insert(&node);
  node.waiting = true;
  queued_ += Remaining(node);
  Wake();
}

void LookAhead::Core::Unqueue(Node& node) {
  if (!node.waiting) return;
  waiting_.erase(&node);
  node.waiting = false;
  queued_ -= Remaining(node);
}

bool LookAhead::Core::Sources(Node& node, SharedFolder (&in)[2]) const {
  for (int side = 0; side < 2; ++side)
    in[side] = node.onPath ? node.path[side].lock() : node.side[side].opened.held;
  return in[0] && in[1];
}

void LookAhead::Core::TakeReturned() {
  for (std::unique_ptr<Job>& job : returned_) {
    if (spare_.size() < kFileJobsAhead + 2)
      spare_.push_back(std::move(job));
    else
      Destroy(std::move(job));  // closed already: its chunks go back
  }
  returned_.clear();
}

std::unique_ptr<LookAhead::Job> LookAhead::Core::MakeJob(Node& node, size_t item,
                                                         const SharedFolder (&in)[2]) {
  std::unique_ptr<Job> job;
  if (item < node.fileItems && !spare_.empty()) {
    job = std::move(spare_.back());
    spare_.pop_back();
  } else {
    job = std::make_unique<Job>();
  }
  const uint32_t entry = node.items[item];
  const FileEntry* first;
  const FileEntry* second;
  if (item < node.fileItems) {
    second = &node.side[1].listing.files[entry];
    first = node.match[0][entry];
  } else {
    job->kind = Job::Folders;
    job->halves = 2;
    job->listed = std::make_unique<Node>();
    const FileEntry* walked = &node.side[kind_.preScan ? 0 : 1].listing.subFolders[entry];
    first = kind_.preScan ? walked : node.match[1][entry];
    second = kind_.preScan ? node.match[1][entry] : walked;
  }
  job->name[0] = first->name;
  job->name[1] = second->name;
  job->in[0] = in[0];
  job->in[1] = in[1];
  return job;
}

void LookAhead::Core::Begin(Job& job, int half, CallGate& gate) {
  job.half[half] = Job::Working;
  job.worker[half] = &gate;
  if (job.HalfNotBegun() < 0) {
    auto offered = std::find(halves_.begin(), halves_.end(), &job);
    if (offered != halves_.end()) {
      halves_.erase(offered);
      if (!job.node) --walkOffers_;
    }
  }
}

LookAhead::Core::Claim LookAhead::Core::ClaimWork(CallGate& gate, bool paced, bool awake) {
  if (quit_ || (paced && working_ >= Allowed(awake))) return {};
  // The other side of a sub-folder pair under way first: it is wanted soonest.
  if (!halves_.empty()) {
    Job& job = *halves_.front();
    const int half = job.HalfNotBegun();
    Begin(job, half, gate);
    return {&job, half};
  }
  for (auto at = waiting_.begin(); at != waiting_.end();) {
    Node& node = **at;
    const bool files = node.begun < node.fileItems;
    if (files ? filesAhead_ >= kFileJobsAhead : foldersAhead_ >= kFolderJobsAhead) {
      ++at;  // a later node may wait with work of the other kind
      continue;
    }
    SharedFolder in[2];
    if (!Sources(node, in)) {
      // The walk let its folders go: its items wait for the walk to come back to it.
      at = waiting_.erase(at);
      node.waiting = false;
      node.parked = true;
      queued_ -= Remaining(node);
      continue;
    }
    std::unique_ptr<Job> job = MakeJob(node, node.begun, in);
    node.jobs.push_back(std::move(job));
    Job& begun = *node.jobs.back();
    begun.node = &node;
    begun.item = node.begun++;
    begun.counted = true;
    ++(files ? filesAhead_ : foldersAhead_);
    --queued_;
    if (Remaining(node) == 0) {
      waiting_.erase(at);
      node.waiting = false;
    }
    Begin(begun, 0, gate);
    if (begun.halves == 2) halves_.push_back(&begun);
    return {&begun, 0};
  }
  return {};
}

void LookAhead::Core::Finish(Job& job, int half, Lock& lock) {
  job.worker[half] = nullptr;
  if (job.perCall[half] != Clock::duration{}) {
    const bool wasSlow = pace_.Slow();
    if (pace_.Note(job.perCall[half]) && !wasSlow) Wake();
  }
  const bool last = job.halves == 1 || job.half[1 - half] == Job::Finished;
  if (last && job.listed && !job.dropped) {
    // Both sides are listed: the lookups are made here, off the walk.
    lock.unlock();
    try {
      Plan(*job.listed, kind_);
    } catch (...) {
      job.failure[half] = std::current_exception();
    }
    lock.lock();
  }
  job.half[half] = Job::Finished;
  if (job.dropped) {
    if (!job.InWork()) {
      lock.unlock();
      Destroy(std::unique_ptr<Job>(&job));
      lock.lock();
    }
    return;
  }
  if (!last) return;
  job.done = true;
  if (job.node && job.listed) {  // listed ahead: its items wait right after its own
    job.listed->parent = job.node;
    job.listed->item = job.item;
    Queue(*job.listed);
  }
  if (walkWaitsFor_ == &job) done_.notify_all();
}

void LookAhead::Core::Disown(std::unique_ptr<Job> job, Trash& trash) {
  Uncount(*job);
  auto offered = std::find(halves_.begin(), halves_.end(), job.get());
  if (offered != halves_.end()) {
    halves_.erase(offered);
    if (!job->node) --walkOffers_;
  }
  job->node = nullptr;
  if (job->done && job->listed) Unlink(*job->listed, trash);
  if (job->InWork()) {
    job->dropped = true;
    for (CallGate* worker : job->worker)
      if (worker) worker->Abandon();
    job.release();  // its threads own it now; the last one destroys it
  } else {
    trash.push_back(std::move(job));
  }
}

void LookAhead::Core::Unlink(Node& node, Trash& trash) {
  Unqueue(node);
  node.parked = false;
  while (!node.jobs.empty()) {
    std::unique_ptr<Job> job = std::move(node.jobs.front());
    node.jobs.pop_front();
    Disown(std::move(job), trash);
  }
}

void LookAhead::Core::Shut(Trash& trash) {
  quit_ = true;
  while (!path_.empty()) {
    Unlink(*path_.back(), trash);
    path_.pop_back();
  }
  halves_.clear();  // sides of the walk's own pairs: the walk does them, if it goes on at all
  walkOffers_ = 0;
  work_.notify_all();
}

void LookAhead::Core::Destroy(std::unique_ptr<Job> job) {
  for (FileSide& side : job->file) {
    if (side.file.handle != kNoFile) fs_.Close(side.file.handle);
    for (std::unique_ptr<char[]>& chunk : side.chunk)
      if (chunk) chunks_.Put(std::move(chunk));
  }
}

void LookAhead::Core::Recycle(std::unique_ptr<Job> job) {
  std::unique_ptr<char[]> chunks[2][kChunksAhead];
  for (int side = 0; side < 2; ++side) {
    FileSide& f = job->file[side];
    if (f.file.handle != kNoFile) fs_.Close(f.file.handle);
    std::move(std::begin(f.chunk), std::end(f.chunk), chunks[side]);
  }
  *job = Job{};
  for (int side = 0; side < 2; ++side)
    std::move(std::begin(chunks[side]), std::end(chunks[side]), job->file[side].chunk);
  if (returned_.size() < kFileJobsAhead + 2)
    returned_.push_back(std::move(job));
  else
    Destroy(std::move(job));
}

void LookAhead::Core::Do(Job& job, int half, FileSystem& calls) {
  try {
    if (job.kind == Job::Files)
      OpenAndRead(job, calls);
    else
      ListSide(job, half, calls);
  } catch (...) {  // the walk's to throw, or nobody's where the job was given up
    job.failure[half] = std::current_exception();
  }
}

void LookAhead::Core::ListSide(Job& job, int side, FileSystem& calls) {
  // As the walk does it: open (the two folders a walk starts from are open already), then list.
  // The open tells the drive's pace; a listing takes as long as its folder is big.
  ListedSide& listed = job.listed->side[side];
  if (!job.root) {
    const auto began = Clock::now();
    listed.opened = OpenSubFolder(calls, fs_, HandleOf(job.in[side]), job.name[side]);
    job.perCall[side] = Clock::now() - began;
    job.in[side].reset();
  }
  if (listed.opened.status == ListStatus::Ok)
    listed.listed = ListEntries(calls, HandleOf(listed.opened.held), kind_.keepFiles,
                                kind_.wantSizes, listed.listing);
  ArrangeForWalk(listed.Status(), listed.listing);
}

void LookAhead::Core::OpenAndRead(Job& job, FileSystem& calls) {
  const auto began = Clock::now();
  int made = 0;
  const ScopeExit notePace([&] {  // also where a call threw: the time per call it made
    if (made > 0) job.perCall[0] = (Clock::now() - began) / made;
  });
  // The opens in the walk's order, the second only after the first, then the first chunks of
  // both files side by side.
  for (int side = 0; side < 2 && job.failedOpen < 0; ++side) {
    FileSide& f = job.file[side];
    // A folder that went away while the walk was below it holds nothing to open.
    if (job.in[side]) {
      f.file = calls.OpenFile(job.in[side]->Handle(), job.name[side]);
      ++made;
    }
    if (f.file.handle == kNoFile) job.failedOpen = side;
  }
  job.in[0].reset();
  job.in[1].reset();
  if (job.failedOpen >= 0) return;
  for (size_t round = 0; round < kChunksAhead; ++round) {
    for (FileSide& f : job.file) {
      if (f.ended) continue;
      if (!f.chunk[round]) f.chunk[round] = chunks_.Get();
      f.read[round] = calls.ReadAt(f.file.handle, f.end, f.chunk[round].get(), kChunk);
      ++made;
      f.count = round + 1;
      f.end += static_cast<int64_t>(f.read[round].got);
      f.ended = f.read[round].got < kChunk || f.read[round].failed;
    }
  }
}

void LookAhead::Core::Work() {
  CallGate gate;
  gate.Bind();
  GatedFileSystem calls(fs_, gate);
  Lock lock(mutex_);
  --starting_;
  bool listed = false;  // among the gates a given-up walk abandons
  try {
    gates_.push_back(&gate);
    listed = true;
    bool awake = false;  // after a job: goes on while anything waits
    for (;;) {
      const Claim claim = ClaimWork(gate, true, awake);
      if (!claim.job) {
        if (quit_) break;
        awake = false;
        ++idle_;
        work_.wait(lock);
        --idle_;
        continue;
      }
      awake = true;
      ++working_;
      gate.Reset();
      lock.unlock();
      Do(*claim.job, claim.half, calls);
      lock.lock();
      --working_;
      Finish(*claim.job, claim.half, lock);
    }
  } catch (...) {  // no memory for the look-ahead's own records: the walk stops on it
    if (!lock.owns_lock()) lock.lock();
    if (!failure_) failure_ = std::current_exception();
    done_.notify_all();
  }
  if (listed) gates_.erase(std::find(gates_.begin(), gates_.end(), &gate));
  --threads_;
}

void LookAhead::Core::WorkOn(const Claim& claim, CallGate& gate, FileSystem& calls, Lock& lock) {
  lock.unlock();
  Do(*claim.job, claim.half, calls);
  lock.lock();
  Finish(*claim.job, claim.half, lock);
  if (gate.IsAbandoned()) throw Abandoned{};
}

bool LookAhead::Core::Help(Lock& lock) {
  // Rather than wait while a thread works on what the walk needs, the walk does the next thing
  // meanwhile: where the drive answers at once (on a slow one it would come back late).
  if (pace_.Slow()) return false;
  const Claim claim = ClaimWork(*walkGate_, false, false);
  if (!claim.job) return false;
  WorkOn(claim, *walkGate_, *walkFs_, lock);
  return true;
}

bool LookAhead::Core::Wait(const Job& job, Lock& lock) {
  if (failure_) std::rethrow_exception(failure_);
  if (stop_->load(std::memory_order_relaxed) == 1) return false;
  walkWaitsFor_ = &job;
  done_.wait_for(lock, kStopPoll);
  walkWaitsFor_ = nullptr;
  return true;
}

bool LookAhead::Core::RunWalkJob(Job& job, Lock& lock) {
  // The other side goes to a thread where one can take it: on a slow drive, and for the two
  // folders a walk starts from where a second processor runs it (either may hold a great many).
  if (job.halves == 2 && !quit_ && (pace_.Slow() || (job.root && SpareProcessor()))) {
    halves_.push_back(&job);
    ++walkOffers_;
    Wake();
  }
  while (!job.done) {
    const int half = job.HalfNotBegun();
    if (half >= 0) {
      Begin(job, half, *walkGate_);
      WorkOn({&job, half}, *walkGate_, *walkFs_, lock);
      continue;
    }
    if (!Help(lock) && !Wait(job, lock)) return false;
  }
  return true;
}

LookAhead::LookAhead(FileSystem& fs, const WalkKind& kind)
    : core_(std::make_shared<Core>(fs, kind)) {}

LookAhead::~LookAhead() {
  Core::Trash trash;
  {
    std::lock_guard<std::mutex> lock(core_->mutex_);
    core_->Shut(trash);
  }
  core_->Destroy(trash);
}

void LookAhead::BindWalk(FileSystem& walk, CallGate& gate, const std::atomic<int>& stop) {
  core_->walkFs_ = &walk;
  core_->walkGate_ = &gate;
  core_->stop_ = &stop;
}

std::unique_ptr<LookAhead::Node> LookAhead::ListRoots(const OpenedFolder (&roots)[2]) {
  auto owned = std::make_unique<Job>();
  owned->kind = Job::Folders;
  owned->halves = 2;
  owned->root = true;
  owned->listed = std::make_unique<Node>();
  for (int side = 0; side < 2; ++side) owned->listed->side[side].opened = roots[side];
  Job* job = owned.release();
  JobRef hold(core_, job);
  Core::Lock lock(core_->mutex_);
  if (!core_->RunWalkJob(*job, lock)) return nullptr;
  lock.unlock();
  Core::Rethrow(*job);
  return std::move(job->listed);
}

void LookAhead::EnterLocked(Node& node, size_t depth, SharedFolder (&folders)[2]) {
  core_->path_.push_back(&node);
  node.onPath = true;
  node.depth = depth;
  node.parent = nullptr;
  node.parked = false;
  for (int side = 0; side < 2; ++side) {
    folders[side] = std::move(node.side[side].opened.held);
    node.path[side] = folders[side];
  }
  core_->Queue(node);
}

void LookAhead::Enter(Node& root, size_t depth, SharedFolder (&folders)[2]) {
  std::lock_guard<std::mutex> lock(core_->mutex_);
  EnterLocked(root, depth, folders);
}

std::unique_ptr<LookAhead::Node> LookAhead::Enter(const JobRef& job, size_t depth,
                                                  SharedFolder (&folders)[2]) {
  std::lock_guard<std::mutex> lock(core_->mutex_);
  EnterLocked(*job->listed, depth, folders);
  return std::move(job->listed);  // the job lets go of it; its items stay where they wait
}

LookAhead::JobRef LookAhead::Take(Node& node, size_t item, WalkPath (&walks)[2]) {
  Core& core = *core_;
  Core::Lock lock(core.mutex_);
  if (core.failure_) std::rethrow_exception(core.failure_);
  core.TakeReturned();
  if (item < node.begun) {
    Job* job = node.jobs.front().get();
    while (!job->done) {
      const int half = job->HalfNotBegun();  // its other side, where no thread began it
      if (half >= 0) {
        core.Begin(*job, half, *core.walkGate_);
        core.WorkOn({job, half}, *core.walkGate_, *core.walkFs_, lock);
        continue;
      }
      if (!core.Help(lock) && !core.Wait(*job, lock)) return {};
    }
    std::unique_ptr<Job> owned = std::move(node.jobs.front());
    node.jobs.pop_front();
    ++node.taken;
    core.Uncount(*owned);
    owned->node = nullptr;
    JobRef taken(core_, owned.release());
    lock.unlock();
    Core::Rethrow(*taken);
    return taken;
  }
  // No thread began it: the walk does it itself, in its own folders.
  ++node.begun;
  ++node.taken;
  if (node.waiting) {
    --core.queued_;
    if (Remaining(node) == 0) {
      core.waiting_.erase(&node);
      node.waiting = false;
    }
  }
  lock.unlock();
  SharedFolder here[2] = {walks[0].Current(), walks[1].Current()};
  JobRef own;  // let go only once the lock is (its drop takes it)
  {
    Core::Lock relock(core.mutex_);
    // Where the walk had let them go, threads may begin the node's later items in them again.
    if (node.parked || node.path[0].expired() || node.path[1].expired()) {
      for (int side = 0; side < 2; ++side) node.path[side] = here[side];
      if (node.parked && here[0] && here[1]) {
        node.parked = false;
        core.Queue(node);
      }
    }
    own = JobRef(core_, core.MakeJob(node, item, here).release());
    if (!core.RunWalkJob(*own, relock)) return {};
  }
  Core::Rethrow(*own);
  return own;
}

void LookAhead::Leave(Node& node) {
  Core::Trash trash;
  {
    std::lock_guard<std::mutex> lock(core_->mutex_);
    core_->Unlink(node, trash);
    auto at = std::find(core_->path_.rbegin(), core_->path_.rend(), &node);
    if (at != core_->path_.rend()) core_->path_.erase(std::next(at).base());
  }
  core_->Destroy(trash);
}

void LookAhead::Abandon() {
  Core::Trash trash;
  {
    std::lock_guard<std::mutex> lock(core_->mutex_);
    core_->Shut(trash);
    for (CallGate* gate : core_->gates_) gate->Abandon();
  }
  core_->Destroy(trash);
}

const LookAhead::FileSide& LookAhead::File(const JobRef& job, int side) { return job->file[side]; }

int LookAhead::FailedOpen(const JobRef& job) { return job->failedOpen; }

LookAhead::JobRef& LookAhead::JobRef::operator=(JobRef&& other) noexcept {
  if (this != &other) {
    Reset();
    core_ = std::move(other.core_);
    job_ = other.job_;
    other.job_ = nullptr;
  }
  return *this;
}

void LookAhead::JobRef::Reset() {
  if (!job_) return;
  std::unique_ptr<Job> job(job_);
  job_ = nullptr;
  // A file pair the walk has taken is its alone: nothing else knows of it. It is closed, and
  // kept with its chunks for a pair to come.
  if (job->kind == Job::Files && job->done) {
    core_->Recycle(std::move(job));
    return;
  }
  Core::Trash trash;
  {
    std::lock_guard<std::mutex> lock(core_->mutex_);
    core_->Disown(std::move(job), trash);
  }
  core_->Destroy(trash);
}

}  // namespace vemo
