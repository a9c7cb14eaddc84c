#include "engine/walk_stack.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace vemo {
namespace {

// Shared by the caller and the walk's thread, which may outlive the caller's wait.
struct WalkRun {
  std::function<void()> work;
  std::exception_ptr failure;
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
};

void RunWalk(void* context) {
  std::unique_ptr<std::shared_ptr<WalkRun>> run(static_cast<std::shared_ptr<WalkRun>*>(context));
  WalkRun& walk = **run;
  try {
    walk.work();
  } catch (...) {
    walk.failure = std::current_exception();
  }
  walk.work = nullptr;  // what the walk owned goes here, on its own thread
  std::lock_guard<std::mutex> lock(walk.mutex);
  walk.done = true;
  walk.ended.notify_all();
}

}  // namespace

WalkEnd RunOnWalkStack(std::function<void()> work, const std::function<bool()>& giveUp) {
  auto run = std::make_shared<WalkRun>();
  run->work = std::move(work);
  auto* threads = new std::shared_ptr<WalkRun>(run);
  if (!StartThread(kWalkStackBytes, RunWalk, threads)) {
    // Without a thread (the system is out of threads or memory) the walk still runs, on the
    // caller's own stack, as deep as that allows.
    delete threads;
    run->work();
    return WalkEnd::Done;
  }
  std::unique_lock<std::mutex> lock(run->mutex);
  while (!run->ended.wait_for(lock, kStopPoll, [&] { return run->done; })) {
    lock.unlock();
    const bool gaveUp = giveUp();
    lock.lock();
    if (gaveUp) return WalkEnd::GivenUp;
  }
  // Taken over here, so that the exception goes on the caller's thread alone.
  const std::exception_ptr failure = std::move(run->failure);
  lock.unlock();
  if (failure) std::rethrow_exception(failure);
  return WalkEnd::Done;
}

}  // namespace vemo
