// How long a drive makes each call wait, smoothed over the last few calls. A drive that answers
// at once is asked by the walk itself, or by one more thread where it finds many calls to make
// each time it wakes (a hand-off for each call costs more than it saves); one that makes every
// call wait (a network share, a slow disk) is asked by threads, many calls at once.
#pragma once

#include <chrono>
#include <cstddef>
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
    smoothed_ = (smoothed_ * 7 + took) / 8;
    return Slow();
  }
  bool Slow() const { return smoothed_ > slow_; }
  // How many threads may make the drive's calls at once: `all` where it is slow; where it
  // answers at once, one where a second processor runs it and at least `enough` calls are
  // `queued` for it, else none.
  int Threads(int all, size_t queued, size_t enough) const {
    if (Slow()) return all;
    return SpareProcessor() && queued >= enough ? 1 : 0;
  }

 private:
  Duration slow_;
  Duration smoothed_{};
};

}  // namespace vemo
