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
  openBatch_.reset();  // later lines come after this operation
  post_([this, op = std::move(op)] {
    if (!closed_) op();
  });
}

void OrderedWrites::PushLine(std::string_view line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return;
  if (!openBatch_) {
    // Posted under the lock, so no operation pushed meanwhile can overtake the batch.
    openBatch_ = std::make_shared<Batch>();
    post_([this, batch = openBatch_] { WriteBatch(batch); });
  }
  openBatch_->lines.emplace_back(line);
}

void OrderedWrites::WriteBatch(const std::shared_ptr<Batch>& batch) {
  std::vector<std::string> lines;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (openBatch_ == batch) openBatch_.reset();  // lines from now on start a new batch
    lines.swap(batch->lines);
  }
  if (!closed_ && !lines.empty()) writeLines_(lines);
}

void OrderedWrites::ShutDown() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  openBatch_.reset();
}

}  // namespace vemo
