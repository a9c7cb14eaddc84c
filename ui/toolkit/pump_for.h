// Dispatches the messages that come during the given time (tests, screenshots).
#pragma once

#include "application.h"

namespace vemo::ui {

inline void PumpFor(int milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    if (!App().ProcessMessages()) return;
    DWORD now = GetTickCount();
    if ((LONG)(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

}  // namespace vemo::ui
