// The walk's thread over POSIX threads, with its stack size set explicitly (not inherited from
// the process's stack limit).
#include <pthread.h>

#include <cstddef>

namespace vemo {
namespace {

struct Start {
  void (*body)(void*);
  void* context;
};

void* Trampoline(void* start) {
  auto* s = static_cast<Start*>(start);
  s->body(s->context);
  return nullptr;
}

}  // namespace

bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  Start start{body, context};
  pthread_t thread;
  bool made = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
              pthread_create(&thread, &attributes, Trampoline, &start) == 0;
  pthread_attr_destroy(&attributes);
  if (made) pthread_join(thread, nullptr);
  return made;
}

}  // namespace vemo
