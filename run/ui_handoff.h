// How the worker's window writes reach the user-interface thread without ever waiting for it.
// There is one ordered queue into that thread (App().Post in the program); on top of it:
//  - ProgressFigures: the bars and panel captions as latest values; the UI thread repaints
//    from them at a bounded rate, so 100,000 block updates cost no window traffic;
//  - OrderedWrites: everything whose order matters, posted in order through that queue, with
//    consecutive error lines gathered into one batch (one post and one edit of the text box
//    per batch, each line whole).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_sink.h"

namespace vemo {

struct ProgressSnapshot {
  int barMax[2] = {100, 100};  // indexed by Bar
  int64_t barPosition[2] = {0, 0};
  std::string panel[3];  // indexed by Panel
  uint64_t version = 0;  // grows with every change
};

class ProgressFigures {
 public:
  void SetBar(Bar bar, int max, int64_t position);
  void SetBarPosition(Bar bar, int64_t position);
  void SetPanel(Panel panel, std::string_view caption);
  // Copies the figures into `into` when they changed since into.version; false otherwise.
  bool TakeIfChanged(ProgressSnapshot& into) const;

 private:
  mutable std::mutex mutex_;
  ProgressSnapshot figures_;
};

class OrderedWrites {
 public:
  using Op = std::function<void()>;
  // Hands an operation to the UI thread's queue, behind everything handed before it. It must
  // not run the operation before it returns.
  using Post = std::function<void(Op)>;
  // Runs on the UI thread with the lines of one batch, in order.
  using LineWriter = std::function<void(const std::vector<std::string>& lines)>;

  OrderedWrites(Post post, LineWriter writeLines)
      : post_(std::move(post)), writeLines_(std::move(writeLines)) {}

  // Any thread; what one thread pushes runs in the order it pushed it.
  void Push(Op op);
  void PushLine(std::string_view line);
  // Nothing pushed or still waiting in the queue runs any more (the application is going away).
  void ShutDown();

 private:
  struct Batch {
    std::vector<std::string> lines;
  };
  void WriteBatch(const std::shared_ptr<Batch>& batch);

  Post post_;
  LineWriter writeLines_;
  std::mutex mutex_;
  std::shared_ptr<Batch> openBatch_;  // the batch that further lines join, if posted already
  std::atomic<bool> closed_{false};
};

}  // namespace vemo
