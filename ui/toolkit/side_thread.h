// The one way the window side works off the user-interface thread (a folder's sub-folders, a
// drive's volume): a detached thread that nothing on that thread ever waits for. Whatever the
// work shares with the windows it holds by shared ownership, so it may end after them.
// Nothing escapes its body: an exception, exhausted memory included, reaches the
// user-interface thread as the general error report.
#pragma once

#include <functional>

namespace vemo::ui {

// False when no thread could be started: the caller does the work itself or goes without.
bool StartSideThread(std::function<void()> body);

}  // namespace vemo::ui
