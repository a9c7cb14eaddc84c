#include "run/ui_handoff.h"

#include <chrono>

namespace vemo {

namespace {
// A batch holds at most this many lines, and one pump gives the thread back after about this
// long (the rest waits for the next pump): a run of 1,000,000 findings then never holds the
// user-interface thread longer than one short batch, however far the worker ran ahead.
constexpr size_t kBatchLines = 4096;
constexpr auto kPumpBudget = std::chrono::milliseconds(10);
}  // namespace

void ProgressFigures::SetBar(Bar bar, int max, int64_t position) {
  std::lock_guard<std::mutex> lock(mutex_);
  figures_.barMax[int(bar)] = max;
  figures_.barPosition[int(bar)] = position;
  ++figures_.version;
}

void ProgressFigures::SetBarPosition(Bar bar, int64_t position) {
  std::lock_guard<std::mutex> lock(mutex_);
  figures_.barPosition[int(bar)] = position;
  ++figures_.version;
}

void ProgressFigures::SetPanel(Panel panel, std::string_view caption) {
  std::lock_guard<std::mutex> lock(mutex_);
  figures_.panel[int(panel)].assign(caption.data(), caption.size());
  ++figures_.version;
}

bool ProgressFigures::TakeIfChanged(ProgressSnapshot& into) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (into.version == figures_.version) return false;
  into = figures_;
  return true;
}

void OrderedWrites::Push(Op op) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return;
  entries_.push_back(Entry{std::move(op), {}});  // later lines come after this operation
  if (!pumpPosted_) {
    pumpPosted_ = true;
    post_([this] { Pump(); });
  }
}

void OrderedWrites::PushLine(std::string_view line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return;
  if (entries_.empty() || entries_.back().op || entries_.back().lines.size() >= kBatchLines)
    entries_.push_back(Entry{});
  entries_.back().lines.emplace_back(line);
  if (!pumpPosted_ && !linesPumpPosted_) {
    linesPumpPosted_ = true;
    postLines_([this] { Pump(); });
  }
}

void OrderedWrites::Pump() {
  size_t waiting;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pumpPosted_ = linesPumpPosted_ = false;  // what comes from now on asks for a pump anew
    waiting = entries_.size();
  }
  // Only what waited now: a worker that keeps pushing lines never keeps this pump going.
  const auto began = std::chrono::steady_clock::now();
  for (; waiting > 0; --waiting) {
    Entry entry;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closed_ || entries_.empty()) return;
      if (std::chrono::steady_clock::now() - began >= kPumpBudget) {
        // The rest in a pump of its own, behind what the user does meanwhile; an operation
        // waiting in front takes its own lane, as it did when it was pushed.
        if (!pumpPosted_ && !linesPumpPosted_) {
          const bool op = static_cast<bool>(entries_.front().op);
          (op ? pumpPosted_ : linesPumpPosted_) = true;
          (op ? post_ : postLines_)([this] { Pump(); });
        }
        return;
      }
      entry = std::move(entries_.front());
      entries_.pop_front();
    }
    if (entry.op) {
      entry.op();
    } else if (!entry.lines.empty()) {
      writeLines_(entry.lines);
    }
  }
}

void OrderedWrites::Reopen() { closed_ = false; }

void OrderedWrites::ShutDown() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  entries_.clear();
}

}  // namespace vemo
