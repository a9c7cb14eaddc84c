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

void UiQueue::Pushed(std::unique_lock<std::mutex>& lock) {
  if (wakePending_) return;
  wakePending_ = true;
  lock.unlock();
  wake_();
}

void UiQueue::Push(Op op) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return;
  items_.push_back(Item{std::move(op), {}});
  Pushed(lock);
}

void UiQueue::PushLine(std::string_view line) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return;
  if (items_.empty() || items_.back().op) items_.push_back(Item{});
  items_.back().lines.emplace_back(line);
  Pushed(lock);
}

void UiQueue::Drain(const LineWriter& writeLines) {
  std::deque<Item> items;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    items.swap(items_);
    wakePending_ = false;
  }
  for (Item& item : items) {
    if (item.op)
      item.op();
    else
      writeLines(item.lines);
  }
}

void UiQueue::ShutDown() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  items_.clear();
}

}  // namespace vemo
