// Threads over Win32: the stack size is a reservation of address space, so the pages are
// committed only as deep as a walk actually goes. A thread's waiting call to the drive is
// cancelled with CancelSynchronousIo.
#include "engine/threads.h"

#include <windows.h>

namespace vemo {
namespace {

struct Start {
  void (*body)(void*);
  void* context;
};

DWORD WINAPI Trampoline(void* start) {
  const Start s = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  s.body(s.context);
  return 0;
}

HANDLE Create(size_t stackBytes, void (*body)(void*), void* context) {
  Start* start = new Start{body, context};
  HANDLE thread = CreateThread(nullptr, stackBytes, Trampoline, start,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) delete start;
  return thread;
}

}  // namespace

bool StartThread(size_t stackBytes, void (*body)(void*), void* context) {
  HANDLE thread = Create(stackBytes, body, context);
  if (!thread) return false;
  CloseHandle(thread);
  return true;
}

bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context) {
  HANDLE thread = Create(stackBytes, body, context);
  if (!thread) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
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
