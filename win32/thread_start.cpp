#include "win32/thread_start.h"

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

}  // namespace

HANDLE StartWin32Thread(size_t stackBytes, void (*body)(void*), void* context) {
  Start* start = new Start{body, context};
  HANDLE thread = CreateThread(nullptr, stackBytes, Trampoline, start,
                               stackBytes ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
  if (!thread) delete start;
  return thread;
}

bool StartDetachedWin32Thread(size_t stackBytes, void (*body)(void*), void* context) {
  HANDLE thread = StartWin32Thread(stackBytes, body, context);
  if (!thread) return false;
  CloseHandle(thread);
  return true;
}

}  // namespace vemo
