// The user's actions on a run: Start (button and menu), Stop Comparing, Emergency Exit; and the
// binding of every run handler to the windows.
#pragma once

namespace vemo {

void Button2Click();  // Start; returns when the progress window has closed
void CompareC1Click();
void StopClick();
void BitBtn2Click();  // Emergency Exit

// Binds the handlers above and those of the progress scene to the windows (start-up).
void BindRunHandlers();

class FileSystem;
// The file system that runs use: the platform's, or (tests) another one; it must outlive
// every run that uses it. Null goes back to the platform's.
void SetRunFileSystem(FileSystem* fs);

}  // namespace vemo
