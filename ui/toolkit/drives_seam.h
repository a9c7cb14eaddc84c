// The seam of the drive questions (drives.h), for the tests that set it: a probe and a clock in
// place of the machine's volumes and time, and waits for the questions under way. The program
// itself never calls these.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "drives.h"

namespace vemo::ui::drives {

// Replaces the probe; an empty function restores the real one. The drives of `alsoProbed` are
// asked through it too, whatever their kind (a fixed drive made slow).
void SetDriveProbe(DriveProbe probe, const std::string& alsoProbed = {});
// Replaces the clock that ages answers and questions; ResetDriveProbe restores it.
using DriveClock = std::function<std::chrono::steady_clock::time_point()>;
void SetDriveClock(DriveClock clock);
// Waits, at most `within`, until every question asked so far has been answered (and its
// listener told); false when one has not.
bool JoinQuestions(std::chrono::milliseconds within);
// Waits, at most `within`, until the drive has given `count` answers in all, each one's
// listener told; false when it has not.
bool AwaitAnswers(char letter, unsigned count, std::chrono::milliseconds within);
// JoinQuestions, then forgets all answers and brings the real probe and clock back, so that
// what comes next starts as the program does.
void ResetDriveProbe(std::chrono::milliseconds within);

}  // namespace vemo::ui::drives
