// How long a test waits for anything before it calls it a hang.
#pragma once

namespace vemo::test {

constexpr int kHangGuardMs = 30000;  // far beyond what any wait here needs on a busy machine

}  // namespace vemo::test
