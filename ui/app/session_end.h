// The desktop session ending with Vemo open (log off, shut down, restart): nothing the user set
// is lost. The settings are stored as a close stores them; during a run, as they were when the
// run started, and the run is abandoned as Emergency Exit abandons it.
#pragma once

namespace vemo {

// Binds the application's session end and the run's start listener.
void BindSessionEnd();

}  // namespace vemo
