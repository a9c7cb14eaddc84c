// How the worker's window writes reach the user-interface thread without ever waiting for it.
// There is one ordered queue into that thread (App().Post in the program); on top of it:
//  - ProgressFigures: the bars and panel captions as latest values; the UI thread repaints
//    from them at a bounded rate, so 100,000 block updates cost no window traffic;
//  - OrderedWrites: everything whose order matters, run in order by the UI thread, with
//    consecutive error lines gathered into one batch (one edit of the text box per batch, each
//    line whole; a batch of 50,000 lines is a few blocks, made and freed without one allocation
//    per line, which under load cost the UI thread tens of ms per batch). An operation is
//    handed over at once; lines alone can wait behind the UI thread's input and paint, so
//    200,000 findings never keep it from answering the user.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "base/text_lines.h"
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
  // Hands a call of Pump() to the UI thread's queue. It must not run it before it returns.
  using Post = std::function<void(Op)>;
  // Runs on the UI thread with the lines of one batch, in order.
  using LineWriter = std::function<void(const TextLines& lines)>;

  // post serves operations; postLines, when given, serves lines alone (a slower lane that
  // lets the UI thread's other messages go first); without it lines use post too.
  OrderedWrites(Post post, LineWriter writeLines, Post postLines = {})
      : post_(std::move(post)),
        postLines_(postLines ? std::move(postLines) : post_),
        writeLines_(std::move(writeLines)) {}

  // Any thread; what one thread pushes runs in the order it pushed it.
  void Push(Op op);
  void PushLine(std::string_view line);
  // UI thread: runs what waited when it was called, in order, one entry at a time (an entry
  // may run a nested message loop, where a later Pump goes on with the entries after it).
  void Pump();
  // Nothing pushed or still waiting runs any more (the application is going away) until Reopen.
  void ShutDown();
  void Reopen();

 private:
  struct Entry {
    Op op;            // an operation, or
    TextLines lines;  // a batch of lines (op empty), still growing at the back
  };

  Post post_, postLines_;
  LineWriter writeLines_;
  std::mutex mutex_;
  std::deque<Entry> entries_;
  bool pumpPosted_ = false;       // a pump on the operations' lane is on its way
  bool linesPumpPosted_ = false;  // one on the lines' lane
  std::atomic<bool> closed_{false};
};

}  // namespace vemo
