// Runs a program to its end (or until asked to interrupt it) and keeps its output and status.
#pragma once

#include <string>
#include <vector>

namespace vemo::test {

struct ProcessResult {
  std::string out, err;
  int status = -1;
};

// args[0] is the program. interruptAfterMs >= 0 sends an interrupt (SIGINT) after that long.
ProcessResult RunProcess(const std::vector<std::string>& args, int interruptAfterMs = -1);

// The path of vemo-cli as this platform's processes name it.
std::string VemoCliPath();

}  // namespace vemo::test
