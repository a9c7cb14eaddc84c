// The one place where each area binds its handlers to the windows: one call per area.
#include "ui/app/session_end.h"
#include "ui/app/startup.h"
#include "ui/main/main_window.h"
#include "ui/run/run_actions.h"
#include "ui/windows/forms.h"

namespace vemo {

void BindHandlers() {
  // run/: Start, Stop, Emergency Exit, the progress window and Timer1.
  BindRunHandlers();
  // ui/main/: the main window's folders, options, menus, settings and drop.
  mainwin::BindMainWindow();
  // ui/app/: the session's end (the settings, and a run under way).
  BindSessionEnd();
}

}  // namespace vemo
