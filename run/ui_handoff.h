// How the worker's window writes reach the user-interface thread without ever waiting for it.
//  - ProgressFigures: the bars and panel captions as latest values; the UI thread repaints
//    from them at a bounded rate, so 100,000 block updates cost no window traffic.
//  - UiQueue: everything whose order matters, run in order on the UI thread; consecutive
//    lines are merged into one batch, and one wake-up is posted per busy period.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
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

class UiQueue {
 public:
  using Op = std::function<void()>;
  using LineWriter = std::function<void(const std::vector<std::string>& lines)>;

  // wake is called (from the pushing thread) when the queue turns non-empty; it must arrange
  // for Drain() to run on the UI thread soon, without waiting for it.
  explicit UiQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

  void Push(Op op);
  void PushLine(std::string_view line);
  // UI thread: runs the queued operations in order; consecutive lines go to writeLines as one
  // batch.
  void Drain(const LineWriter& writeLines);
  // Drops what is queued and accepts nothing more (the application is going away).
  void ShutDown();

 private:
  struct Item {
    Op op;  // empty for a batch of lines
    std::vector<std::string> lines;
  };
  void Pushed(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::deque<Item> items_;
  bool wakePending_ = false;
  bool closed_ = false;
  std::function<void()> wake_;
};

}  // namespace vemo
