// Ends a test whose wait for another thread has run out of time. The thread cannot be left
// running (it uses the test's locals), so the program ends here, after the failure message.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/hang_guard.h"

namespace vemo::test {

[[noreturn]] inline void GiveUp(const std::string& what) {
  ADD_FAILURE() << what;
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace vemo::test
