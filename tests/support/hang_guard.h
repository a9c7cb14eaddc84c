// How long a test waits for anything before it calls it a hang.
#pragma once

#include <chrono>

namespace vemo::test {

constexpr int kHangGuardMs = 30000;  // far beyond what any wait here needs on a busy machine
constexpr std::chrono::milliseconds kHangGuard{kHangGuardMs};

}  // namespace vemo::test
