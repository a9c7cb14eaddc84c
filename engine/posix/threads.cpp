// Threads over POSIX threads, with the stack size set explicitly (not inherited from the
// process's stack limit). A call that waits on a drive cannot be cancelled from outside here.
#include "engine/threads.h"

#include <pthread.h>

namespace vemo {
namespace {

struct Start {
  void (*body)(void*);
  void* context;
};

void* Trampoline(void* start) {
  const Start s = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  s.body(s.context);
  return nullptr;
}

bool Create(size_t stackBytes, void (*body)(void*), void* context, pthread_t& thread) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  Start* start = new Start{body, context};
  const bool made = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                    pthread_create(&thread, &attributes, Trampoline, start) == 0;
  pthread_attr_destroy(&attributes);
  if (!made) delete start;
  return made;
}

}  // namespace

bool StartThread(size_t stackBytes, void (*body)(void*), void* context) {
  pthread_t thread;
  if (!Create(stackBytes, body, context, thread)) return false;
  pthread_detach(thread);
  return true;
}

bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context) {
  pthread_t thread;
  if (!Create(stackBytes, body, context, thread)) return false;
  pthread_join(thread, nullptr);
  return true;
}

ThreadToken CurrentThreadToken() { return 0; }
void CancelThreadCall(ThreadToken) {}
void ForgetThreadToken(ThreadToken) {}

}  // namespace vemo
