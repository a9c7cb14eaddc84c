// The walk's thread over Win32: the stack size is a reservation of address space, so the
// pages are committed only as deep as a walk actually goes.
#include <windows.h>

#include <cstddef>

namespace vemo {
namespace {

struct Start {
  void (*body)(void*);
  void* context;
};

DWORD WINAPI Trampoline(void* start) {
  auto* s = static_cast<Start*>(start);
  s->body(s->context);
  return 0;
}

}  // namespace

bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context) {
  Start start{body, context};
  HANDLE thread = CreateThread(nullptr, stackBytes, Trampoline, &start,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
}

}  // namespace vemo
