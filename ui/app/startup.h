// Start-up of the program: the application object, the title "Vemo", the five windows, the
// handlers of every area, the message loop.
#pragma once

namespace vemo {

// Binds the handlers of every area to the five windows (after CreateForms).
void BindHandlers();

// The whole program; returns the exit code (always 0). The command line is not read.
int RunVemo();

}  // namespace vemo
