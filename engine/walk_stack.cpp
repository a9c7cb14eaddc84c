#include "engine/walk_stack.h"

#include <exception>

namespace vemo {

// The thread itself (posix/walk_thread.cpp or win32/walk_thread.cpp) runs `body` on a new thread
// with the walk stack and waits for it; false when no such thread could be made.
bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context);

namespace {

struct WalkJob {
  const std::function<void()>* work;
  std::exception_ptr failure;
};

void RunJob(void* context) {
  auto* job = static_cast<WalkJob*>(context);
  try {
    (*job->work)();
  } catch (...) {
    job->failure = std::current_exception();
  }
}

}  // namespace

void RunOnWalkStack(const std::function<void()>& work) {
  WalkJob job{&work, nullptr};
  // Without a thread (the system is out of threads or memory) the walk still runs, on the
  // caller's own stack, as deep as that allows.
  if (!RunOnNewThread(kWalkStackBytes, RunJob, &job)) RunJob(&job);
  if (job.failure) std::rethrow_exception(job.failure);
}

}  // namespace vemo
