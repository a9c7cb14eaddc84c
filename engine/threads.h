// The few thread facilities the engine needs beyond std::thread, per platform
// (posix/threads.cpp, win32/threads.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vemo {

// Starts body(context) on a new thread with a stack of the given size, and does not wait for it;
// false when no such thread could be made.
bool StartThread(size_t stackBytes, void (*body)(void*), void* context);
// The same, waiting for the thread to end.
bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context);

// Which thread a call to the drive may have to be cancelled on, and the cancelling: where the
// platform lets one thread end another's waiting call (Windows), that call fails at once;
// elsewhere nothing happens and the call returns in its own time.
using ThreadToken = intptr_t;
ThreadToken CurrentThreadToken();
void CancelThreadCall(ThreadToken thread);
void ForgetThreadToken(ThreadToken thread);

}  // namespace vemo
