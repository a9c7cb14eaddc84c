// Threads over Win32: the stack size is a reservation of address space, so the pages are
// committed only as deep as a walk actually goes. A thread's waiting call to the drive is
// cancelled with CancelSynchronousIo.
#include "engine/threads.h"

#include <windows.h>

#include "win32/thread_start.h"
#include "win32/unique_handle.h"

namespace vemo {

bool StartThread(size_t stackBytes, void (*body)(void*), void* context) {
  return StartDetachedWin32Thread(stackBytes, body, context);
}

bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context) {
  UniqueHandle thread(StartWin32Thread(stackBytes, body, context));
  if (!thread.Valid()) return false;
  WaitForSingleObject(thread.Get(), INFINITE);
  return true;
}

ThreadToken CurrentThreadToken() {
  // GetCurrentThread is a pseudo handle that means whoever asks: another thread needs a real one.
  HANDLE real = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &real,
                       THREAD_TERMINATE, FALSE, 0))
    return 0;
  return reinterpret_cast<ThreadToken>(real);
}

void CancelThreadCall(ThreadToken thread) {
  if (thread) CancelSynchronousIo(reinterpret_cast<HANDLE>(thread));
}

void ForgetThreadToken(ThreadToken thread) {
  if (thread) CloseHandle(reinterpret_cast<HANDLE>(thread));
}

}  // namespace vemo
