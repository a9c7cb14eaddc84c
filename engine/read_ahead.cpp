#include "engine/read_ahead.h"

#include <chrono>

namespace vemo {

struct ReadAhead::Pair {
  struct Side {
    std::string name;
    FolderHandle folder = kNoFolder;
    OpenedFile file;
    std::unique_ptr<char[]> chunks[kChunksAhead];  // read ahead
    size_t sizes[kChunksAhead] = {};
    size_t count = 0, next = 0;   // chunks read ahead, and handed out
    std::unique_ptr<char[]> own;  // where the comparison reads what was not read ahead
    int64_t offset = 0;           // where the next read starts
    bool ended = false;           // a read came back short: nothing more to read
  };
  Side side[2];
  int failed = -1;  // the side whose open failed (the second is not tried after the first)
  enum State { Queued, Preparing, Ready };
  std::atomic<int> state{Queued};
};

namespace {
std::unique_ptr<char[]>& Buffer(std::unique_ptr<char[]>& buffer) {
  if (!buffer) buffer.reset(new char[ReadAhead::kChunk]);
  return buffer;
}
}  // namespace

ReadAhead::ReadAhead(FileSystem& fs) : fs_(fs) {
  for (size_t i = 0; i < kPairsInFlight; ++i) slots_.push_back(std::make_unique<Pair>());
}

ReadAhead::~ReadAhead() {
  DropAll();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  workToDo_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

bool ReadAhead::HasRoom() const { return submitted_ - taken_ < kPairsInFlight; }

void ReadAhead::Submit(FolderHandle folder1, std::string_view name1, FolderHandle folder2,
                       std::string_view name2) {
  if (threads_.empty())
    for (int i = 0; i < kThreads; ++i) threads_.emplace_back([this] { Work(); });
  Pair& pair = Slot(submitted_);
  pair.side[0].folder = folder1;
  pair.side[0].name = name1;
  pair.side[1].folder = folder2;
  pair.side[1].name = name2;
  std::lock_guard<std::mutex> lock(mutex_);
  ++submitted_;
  if (idle_ > 0 && active_ < Allowed()) workToDo_.notify_one();
}

int ReadAhead::Allowed() const {
  // A drive that makes every call wait gets every thread. One that answers at once keeps a
  // processor busy: a hand-off to another thread for each pair costs more than it saves, unless
  // the thread finds many pairs queued each time it wakes.
  return pace_.Threads(kThreads, submitted_ - claimed_, kQueuedForOneThread);
}

void ReadAhead::NoteTime(std::chrono::steady_clock::duration took) {
  const bool wasSlow = pace_.Slow();
  if (pace_.Note(took) && !wasSlow && idle_ > 0) workToDo_.notify_all();
}

void ReadAhead::Prepare(Pair& pair) {
  // The opens, in the order the comparison makes them: the second only after the first.
  for (int side = 0; side < 2 && pair.failed < 0; ++side) {
    Pair::Side& s = pair.side[side];
    // A folder that went away while the walk was below it holds nothing to open.
    if (s.folder != kNoFolder) s.file = fs_.OpenFile(s.folder, s.name);
    if (s.file.handle == kNoFile) pair.failed = side;
  }
  if (pair.failed >= 0) return;
  // The first chunks of both files, side by side.
  for (size_t round = 0; round < kChunksAhead; ++round) {
    for (Pair::Side& s : pair.side) {
      if (s.ended || dropping_) continue;
      const size_t got = fs_.ReadAt(s.file.handle, s.offset, Buffer(s.chunks[round]).get(), kChunk);
      s.sizes[round] = got;
      s.count = round + 1;
      s.offset += static_cast<int64_t>(got);
      s.ended = got < kChunk;
    }
  }
}

void ReadAhead::Work() {
  using Clock = std::chrono::steady_clock;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ++idle_;
    workToDo_.wait(lock,
                   [this] { return quit_ || (claimed_ < submitted_ && active_ < Allowed()); });
    --idle_;
    if (quit_) return;
    Pair& pair = Slot(claimed_++);
    pair.state = Pair::Preparing;
    ++active_;
    lock.unlock();
    const Clock::time_point began = Clock::now();
    Prepare(pair);
    const auto took = Clock::now() - began;
    lock.lock();
    --active_;
    NoteTime(took);
    pair.state.store(Pair::Ready, std::memory_order_release);
    if (waiting_) ready_.notify_all();
  }
}

ReadAhead::Pair* ReadAhead::Take() {
  Pair* pair = &Slot(taken_++);
  std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
  while (pair->state.load(std::memory_order_acquire) != Pair::Ready) {
    lock.lock();
    if (claimed_ < submitted_) {
      // Rather than wait, the comparison prepares the first pair no I/O thread has taken
      // (the one it needs itself, when no thread got to it yet).
      Pair& next = Slot(claimed_++);
      next.state = Pair::Preparing;
      lock.unlock();
      const auto began = std::chrono::steady_clock::now();
      Prepare(next);
      next.state.store(Pair::Ready, std::memory_order_release);
      lock.lock();
      NoteTime(std::chrono::steady_clock::now() - began);
      lock.unlock();
      continue;
    }
    if (pair->state != Pair::Ready) {
      waiting_ = true;
      ready_.wait(lock, [pair] { return pair->state == Pair::Ready; });
      waiting_ = false;
    }
    lock.unlock();
  }
  return pair;
}

OpenedFile ReadAhead::File(const Pair* pair, int side) const { return pair->side[side].file; }

size_t ReadAhead::NextChunk(Pair* pair, int side, const char*& data) {
  Pair::Side& s = pair->side[side];
  if (s.next < s.count) {
    data = s.chunks[s.next].get();
    return s.sizes[s.next++];
  }
  data = nullptr;
  if (s.ended) return 0;
  // Beyond what was read ahead: the comparison reads on itself.
  char* buffer = Buffer(s.own).get();
  const size_t got = fs_.ReadAt(s.file.handle, s.offset, buffer, kChunk);
  s.offset += static_cast<int64_t>(got);
  s.ended = got < kChunk;
  data = buffer;
  return got;
}

void ReadAhead::CloseFiles(Pair& pair) {
  for (Pair::Side& s : pair.side) {
    if (s.file.handle != kNoFile) fs_.Close(s.file.handle);
    s.file = OpenedFile{};
    s.count = s.next = 0;
    s.offset = 0;
    s.ended = false;
  }
  pair.failed = -1;
  pair.state = Pair::Queued;
}

void ReadAhead::Release(Pair* pair) { CloseFiles(*pair); }

void ReadAhead::DropAll() {
  if (taken_ == submitted_) return;
  dropping_ = true;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    claimed_ = std::max<size_t>(claimed_, submitted_);  // what no thread took stays unopened
    waiting_ = true;
    ready_.wait(lock, [this] {
      for (size_t i = taken_; i < submitted_; ++i)
        if (Slot(i).state == Pair::Preparing) return false;
      return true;
    });
    waiting_ = false;
  }
  for (; taken_ < submitted_; ++taken_) CloseFiles(Slot(taken_));
  dropping_ = false;
}

}  // namespace vemo
