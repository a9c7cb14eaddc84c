#include "timer.h"

#include <map>

#include "application.h"

namespace vemo::ui {

namespace {
std::map<UINT_PTR, Timer*>& Timers() {
  static std::map<UINT_PTR, Timer*> timers;
  return timers;
}
UINT_PTR nextId = 1;
}  // namespace

Timer::~Timer() {
  if (running_ && App().Handle()) KillTimer(App().Handle(), id_);
  Timers().erase(id_);
}

void Timer::Create(const std::string& name, unsigned interval, bool enabled) {
  name_ = name;
  id_ = nextId++;
  Timers()[id_] = this;
  interval_ = interval;
  enabled_ = enabled;
  Update();
}

void Timer::SetInterval(unsigned interval) {
  App().RequireUiThread("Timer::SetInterval");
  if (interval == interval_) return;
  interval_ = interval;
  Update();
}

void Timer::SetEnabled(bool enabled) {
  App().RequireUiThread("Timer::SetEnabled");
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void Timer::Update() {
  HWND hwnd = App().Handle();
  if (running_) KillTimer(hwnd, id_);
  running_ = false;
  if (enabled_ && interval_ > 0) running_ = SetTimer(hwnd, id_, interval_, nullptr) != 0;
}

void Timer::Dispatch(UINT_PTR id) {
  auto it = Timers().find(id);
  if (it == Timers().end()) return;
  Timer* timer = it->second;
  if (timer->enabled_) Fire(timer->OnTimer);
}

}  // namespace vemo::ui
