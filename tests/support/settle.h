// Waiting for the user-interface thread instead of for time: a closure queued through
// App().PostLater runs once the posted messages, input, paint and timers that wait before it
// have been handled, so when it has run, whatever a test did before it has taken effect.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "tests/support/give_up.h"
#include "ui/toolkit/application.h"

namespace vemo::test {

// On the user-interface thread: dispatches messages until `done` holds; a test that waits past
// the hang guard ends with `what`. A quit request met meanwhile is kept for the caller.
inline void PumpUntil(const std::function<bool()>& done, const std::string& what,
                      int limitMs = kHangGuardMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  bool quit = false;
  WPARAM quitCode = 0;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) GiveUp("waited in vain: " + what);
    MSG msg;
    while (!done() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
      } else {
        ui::App().Dispatch(msg);
      }
    }
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

// On the user-interface thread: handles everything that waits now, the later lane included.
inline void Settle() {
  auto settled = std::make_shared<std::atomic<bool>>(false);
  ui::App().PostLater([settled] { *settled = true; });
  PumpUntil([settled] { return settled->load(); }, "the user-interface thread to settle");
}

// From another thread: returns once the user-interface thread (in whatever loop it is, a modal
// one included) has handled everything that waited when this was called; false when it has
// not within the limit.
inline bool SettledFromOutside(int limitMs = kHangGuardMs) {
  auto settled = std::make_shared<std::promise<void>>();
  std::future<void> done = settled->get_future();
  ui::App().PostLater([settled] { settled->set_value(); });
  return done.wait_for(std::chrono::milliseconds(limitMs)) == std::future_status::ready;
}

}  // namespace vemo::test
