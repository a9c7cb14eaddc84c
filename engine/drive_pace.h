// How long a drive makes each call wait: the median of the last few calls, so that a call that
// waited for a processor (or one cold block) does not make a quick drive look slow. A drive that
// answers at once is asked by the walk itself, or by one more thread where it finds many calls to
// make each time it wakes (a hand-off for each call costs more than it saves); one that makes
// every call wait (a network share, a slow disk) is asked by threads, many calls at once.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <iterator>
#include <thread>

namespace vemo {

// Whether a second processor can run a helper thread beside the walk.
inline bool SpareProcessor() {
  static const bool spare = std::thread::hardware_concurrency() > 1;
  return spare;
}

class DrivePace {
 public:
  using Duration = std::chrono::steady_clock::duration;
  explicit DrivePace(Duration slow) : slow_(slow) {}
  // One more call that took that long; true when the drive counts as slow from now on.
  bool Note(Duration took) {
    last_[next_++ % kCalls] = took;
    Duration sorted[kCalls];
    std::copy(std::begin(last_), std::end(last_), sorted);
    std::nth_element(sorted, sorted + kCalls / 2, sorted + kCalls);
    slowNow_ = sorted[kCalls / 2] > slow_;
    return slowNow_;
  }
  bool Slow() const { return slowNow_; }
  // How many threads may make the drive's calls at once: `all` where it is slow; where it
  // answers at once, one where a second processor runs it and at least `enough` calls are
  // `queued` for it, else none.
  int Threads(int all, size_t queued, size_t enough) const {
    if (Slow()) return all;
    return SpareProcessor() && queued >= enough ? 1 : 0;
  }

 private:
  static constexpr size_t kCalls = 9;
  Duration slow_;
  Duration last_[kCalls] = {};
  size_t next_ = 0;
  bool slowNow_ = false;
};

}  // namespace vemo
