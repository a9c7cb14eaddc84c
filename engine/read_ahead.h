// Keeps the drive busy while the comparison works: the file pairs the comparison will take
// next are opened, and their first data read, by a few I/O threads, in the order the
// comparison takes them. The comparison itself is unchanged: it takes the pairs in that order,
// compares block by block, and sees an open fail, a file end or the data exactly as its own
// calls would have given them; what was not read ahead it reads itself. A stop drops
// everything in flight at once.
//
// Bounds: at most kPairsInFlight pairs are queued, open or being opened, and each holds at most
// kChunksAhead chunks a side read ahead: kBufferBytes of data at the most.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/drive_pace.h"
#include "engine/file_system.h"

namespace vemo {

class ReadAhead {
 public:
  static constexpr size_t kChunk = 81920;  // what one read asks for
  static constexpr size_t kPairsInFlight = 32;
  static constexpr size_t kChunksAhead = 3;
  static constexpr size_t kBufferBytes = kPairsInFlight * 2 * kChunksAhead * kChunk;  // < 16 MiB
  static constexpr int kThreads = 8;
  // A pair whose opens and first reads take longer than this, on average, means a drive that
  // makes each call wait (a network share, a slow disk): then every thread is put to work.
  static constexpr std::chrono::microseconds kSlowPair{500};
  // On a drive that answers at once, one thread still pays where a second processor runs it and
  // this many pairs are queued, so that its wake-up is shared by many pairs (a folder of many
  // files): it opens and reads while the comparison compares. For a few pairs the comparison is
  // quicker on its own.
  static constexpr size_t kQueuedForOneThread = 16;

  struct Pair;

  explicit ReadAhead(FileSystem& fs);
  ~ReadAhead();  // drops what is in flight and ends the threads
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Whether another pair can be queued now (fewer than kPairsInFlight are queued).
  bool HasRoom() const;
  // Queues a pair: the file name1 in folder1 and name2 in folder2. The folders stay open
  // until the pair has been taken and released (or dropped).
  void Submit(FolderHandle folder1, std::string_view name1, FolderHandle folder2,
              std::string_view name2);
  // The next pair in the order of Submit, once its opens have been tried: the first file's
  // open failed (then the second was never tried), the second's failed, or both are open.
  Pair* Take();
  // The opened file of a side of a taken pair (kNoFile where its open failed or was not tried),
  // with its length where the open learned it.
  OpenedFile File(const Pair* pair, int side) const;
  // The next chunk of a side of a taken pair: at most kChunk bytes, fewer only at the end of
  // the file (or a read failure); the data stays valid until the next call for that side.
  size_t NextChunk(Pair* pair, int side, const char*& data);
  // Done with a taken pair: its files are closed.
  void Release(Pair* pair);
  // Drops every pair still queued or in flight, closing their files; returns once no I/O
  // thread works on any of them.
  void DropAll();

 private:
  void Work();          // an I/O thread
  int Allowed() const;  // under the lock: how many threads may prepare pairs at once
  void NoteTime(std::chrono::steady_clock::duration took);  // under the lock: a pair's prepare
  void Prepare(Pair& pair);  // the opens and the first chunks of a pair
  void CloseFiles(Pair& pair);
  Pair& Slot(size_t index) const { return *slots_[index % kPairsInFlight]; }

  FileSystem& fs_;
  std::vector<std::unique_ptr<Pair>> slots_;  // a ring of kPairsInFlight pairs
  // Pairs submitted, claimed by an I/O thread (or the comparison), and taken so far; each
  // counts up through the ring.
  size_t submitted_ = 0, taken_ = 0;
  std::atomic<size_t> claimed_{0};
  std::mutex mutex_;
  std::condition_variable workToDo_, ready_;
  int idle_ = 0;               // I/O threads waiting for work
  int active_ = 0;             // I/O threads preparing a pair
  DrivePace pace_{kSlowPair};  // what the drive takes for a pair
  bool waiting_ = false;       // the comparison waits for a pair to be ready
  bool quit_ = false;
  std::atomic<bool> dropping_{false};
  std::vector<std::thread> threads_;
};

}  // namespace vemo
