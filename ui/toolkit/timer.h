// A timer with an interval and an enabled state; OnTimer runs on the user-interface thread.
// Changing the interval while it runs starts the period anew. The setters belong to the
// user-interface thread (another thread posts its change through App().Post).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace vemo::ui {

class Timer {
 public:
  std::function<void()> OnTimer;

  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();

  void Create(const std::string& name, unsigned interval, bool enabled);
  const std::string& Name() const { return name_; }
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Routes a WM_TIMER of the application window to its timer.
  static void Dispatch(UINT_PTR id);

 private:
  void Update();
  std::string name_;
  UINT_PTR id_ = 0;
  unsigned interval_ = 1000;
  bool enabled_ = false;
  bool running_ = false;
};

}  // namespace vemo::ui
