// The user's actions on a run: Start (button and menu), Stop Comparing, Emergency Exit; and the
// binding of every run handler to the windows.
#pragma once

#include <functional>

namespace vemo {

void Button2Click();  // Start; returns when the progress window has closed
void CompareC1Click();
void StopClick();
void BitBtn2Click();  // Emergency Exit

// Told by Start before anything else it does: what must be kept as the run found it is taken
// then (the settings, for a session that ends mid-run).
void SetRunStartListener(std::function<void()> listener);
// Whether a run is under way: from Start's first step until its handler returns.
bool RunUnderWay();
// Abandons the run as Emergency Exit does once confirmed: the worker is told to stop, nothing
// more of it reaches the windows, and the application quits.
void AbandonRun();

// Binds the handlers above and those of the progress scene to the windows (start-up).
void BindRunHandlers();

class FileSystem;
// The file system that runs use: the platform's, or (tests) another one; it must outlive
// every run that uses it. Null goes back to the platform's.
void SetRunFileSystem(FileSystem* fs);

}  // namespace vemo
