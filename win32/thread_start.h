// The one place a thread starts on Win32, for the engine and the windows alike: CreateThread,
// never a detached std::thread (under this toolchain's thread layer one detached before it runs
// can fault as it starts, seen under load as a null read in its start routine).
#pragma once

#include <windows.h>

#include <cstddef>

namespace vemo {

// Starts body(context) on a new thread whose stack is a reservation of stackBytes of address
// space (0: the default), committed only as deep as the thread goes. The handle, or null when
// no thread could be made (body is then never called).
HANDLE StartWin32Thread(size_t stackBytes, void (*body)(void*), void* context);

// The same for a thread nothing waits for: its handle is closed at once.
bool StartDetachedWin32Thread(size_t stackBytes, void (*body)(void*), void* context);

}  // namespace vemo
