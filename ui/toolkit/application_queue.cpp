// The ordered queue into the user-interface thread (App().Post and App().PostLater).
#include "application.h"

namespace vemo::ui {

void Application::Post(std::function<void()> fn) { Enqueue(queue_, std::move(fn)); }

// Its wake arms a timer (kLaterMessage): WM_TIMER comes after the input and paint that wait.
void Application::PostLater(std::function<void()> fn) { Enqueue(later_, std::move(fn)); }

void Application::Enqueue(Lane& lane, std::function<void()> fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  lane.closures.push_back(std::move(fn));
  if (!lane.armed && handle_) {
    lane.armed = true;
    PostMessageW(handle_, lane.wake, 0, 0);
  }
}

// Runs what waited when the wake came, no more: what is queued meanwhile waits for the next
// wake, so that messages which came in between (input above all) go first and a thread that
// keeps queueing never keeps this one here.
void Application::Drain(Lane& lane) {
  size_t waiting;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lane.armed = false;
    waiting = lane.closures.size();
  }
  for (; waiting > 0; --waiting) {
    std::function<void()> fn;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (lane.closures.empty()) return;
      fn = std::move(lane.closures.front());
      lane.closures.pop_front();
      // A closure may run a nested loop (a modal form): wake it for the rest.
      if (!lane.closures.empty() && !lane.armed) {
        lane.armed = true;
        PostMessageW(handle_, lane.wake, 0, 0);
      }
    }
    Guarded(fn);
  }
}

}  // namespace vemo::ui
