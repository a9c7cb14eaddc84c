#include "engine/out_of_memory.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vemo {

void OutOfMemoryStop(const char* text) {
  static std::atomic_flag stopping = ATOMIC_FLAG_INIT;
  if (stopping.test_and_set())
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  std::fputs(text, stdout);
  std::fflush(stdout);
  std::_Exit(1);
}

}  // namespace vemo
