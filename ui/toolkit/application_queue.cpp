// The ordered queue into the user-interface thread (App().Post and App().PostLater).
#include "application.h"

namespace vemo::ui {

void Application::Post(std::function<void()> fn) { Enqueue(queue_, std::move(fn)); }

// Its wake arms a timer (kLaterMessage): WM_TIMER comes after the input and paint that wait.
void Application::PostLater(std::function<void()> fn) { Enqueue(later_, std::move(fn)); }

void Application::Enqueue(Lane& lane, std::function<void()> fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  lane.closures.push_back(std::move(fn));
  if (!lane.armed && handle_) Wake(lane);
}

void Application::Wake(Lane& lane) {
  lane.armed = wakePoster_.load()(handle_, lane.wake, 0, 0) != FALSE;
}

// A wake that could not be posted (the posted-message quota) leaves its line unarmed: the next
// Post tries again, and this timer runs it should none come (the progress window's close may
// be the last closure of a run).
void Application::DrainStranded() {
  for (Lane* lane : {&queue_, &later_}) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (lane->armed || lane->closures.empty()) continue;
    }
    Drain(*lane);
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
      if (!lane.closures.empty() && !lane.armed) Wake(lane);
    }
    Guarded(fn);
  }
}

}  // namespace vemo::ui
