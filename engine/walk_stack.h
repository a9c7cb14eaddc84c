// The thread a walk runs on. A walk recurses once per folder level (a few calls a level, well
// under a kilobyte of stack), and Windows paths of 32,767 characters allow about 16,384 levels
// ("\a" per level), far more than a thread's usual stack of one or two megabytes holds. So every
// walk runs on a thread of its own whose stack is reserved for that depth with room to spare;
// only what the walk touches of it is ever committed.
//
// The caller waits for the walk, but a stop must not wait for a drive that stopped answering:
// the wait asks `giveUp` every kStopPoll, and once it says so, the caller goes on and leaves the
// walk's thread to end on its own (all it uses is owned by `work`).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

#include "engine/threads.h"

namespace vemo {

constexpr size_t kWalkStackBytes = size_t(64) << 20;
constexpr int kDeepestWalk = 16384;  // levels the walk stack is meant to hold
constexpr std::chrono::milliseconds kStopPoll(10);

enum class WalkEnd { Done, GivenUp };

// Runs work on a thread with a kWalkStackBytes stack (on the caller's own where no such thread
// can be had). An exception that escapes work is thrown again on the calling thread.
WalkEnd RunOnWalkStack(std::function<void()> work, const std::function<bool()>& giveUp);

}  // namespace vemo
