// The stack a walk runs on. A walk recurses once per folder level (four calls a level, under a
// kilobyte of stack), and Windows paths of 32,767 characters allow about 16,384 levels ("\a"
// per level), far more than a thread's usual stack of one or two megabytes holds. So every
// walk runs on a thread of its own whose stack is reserved for that depth with room to spare;
// only what the walk touches of it is ever committed.
#pragma once

#include <cstddef>
#include <functional>

namespace vemo {

constexpr size_t kWalkStackBytes = size_t(64) << 20;
constexpr int kDeepestWalk = 16384;  // levels the walk stack is meant to hold

// Runs work to its end on a thread with a kWalkStackBytes stack while the caller waits. An
// exception that escapes work is thrown again on the calling thread.
void RunOnWalkStack(const std::function<void()>& work);

// Runs body(context) on a new thread with a stack of the given size and waits for it; false
// when no such thread could be made (posix/walk_thread.cpp, win32/walk_thread.cpp).
bool RunOnNewThread(size_t stackBytes, void (*body)(void*), void* context);

}  // namespace vemo
