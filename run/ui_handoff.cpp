#include "run/ui_handoff.h"

namespace vemo {

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
  if (entries_.empty() || entries_.back().op) entries_.push_back(Entry{});
  entries_.back().lines.Append(line);
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
  for (; waiting > 0; --waiting) {
    Entry entry;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closed_ || entries_.empty()) return;
      entry = std::move(entries_.front());
      entries_.pop_front();
    }
    if (entry.op) {
      entry.op();
    } else if (!entry.lines.Empty()) {
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
