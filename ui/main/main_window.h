// Binds the main window's behaviour (folders, options, commands, settings, drops) to Form1.
#pragma once

namespace vemo::mainwin {

// Called once at start-up, after the forms exist and before the main window is shown.
void BindMainWindow();

}  // namespace vemo::mainwin
