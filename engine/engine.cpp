#include "engine/engine.h"

#include <memory>

#include "engine/folder_walk.h"
#include "engine/walk_stack.h"

namespace vemo {
namespace {
int64_t Smaller(int64_t a, int64_t b) { return a < b ? a : b; }
}  // namespace

Engine::Engine(RunState& state, FileSystem& fs, RunSink& sink)
    : state_(state), fs_(fs), sink_(sink) {}

void Engine::CompareFolderPair(const std::string& folder1, const std::string& folder2) {
  Walk(false, folder1, folder2);
}

void Engine::PreScanFolderPair(const std::string& folder1, const std::string& folder2) {
  Walk(true, folder1, folder2);
}

void Engine::Walk(bool preScan, const std::string& folder1, const std::string& folder2) {
  // The walk's thread owns the walk: once a stop gives it up, it ends on its own.
  auto walk = std::make_shared<FolderWalk>(state_, fs_, sink_, preScan);
  using Clock = std::chrono::steady_clock;
  Clock::time_point stopSeen{};
  RunOnWalkStack([walk, folder1, folder2] { walk->Run(folder1, folder2); },
                 [&] {
                   if (state_.stopRequested.load(std::memory_order_relaxed) != 1) return false;
                   const auto now = Clock::now();
                   if (stopSeen == Clock::time_point{}) stopSeen = now;
                   return now - stopSeen >= kStopGrace && walk->GiveUp();
                 });
}

bool Engine::Run(const std::string& folder1, const std::string& folder2) {
  RunState& s = state_;
  s.folderTotal[0] = 0;
  s.folderTotal[1] = 0;
  s.comparedSize = 0;
  s.filesCompared = 0;
  s.expectedTotal = 0;
  if (s.recursive == 1) {
    PreScanFolderPair(folder1, folder2);
    s.expectedTotal = Smaller(s.folderTotal[0], s.folderTotal[1]);
  }
  if (s.stopRequested != 0) return false;
  sink_.ClearLines();
  s.errorCount = 0;
  s.folderTotal[0] = 0;
  s.folderTotal[1] = 0;
  s.comparedSize = 0;
  s.filesCompared = 0;
  CompareFolderPair(folder1, folder2);
  return s.stopRequested == 0;
}

}  // namespace vemo
