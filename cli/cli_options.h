// Command line of vemo-cli.
#pragma once

#include <string>
#include <vector>

namespace vemo {

struct CliOptions {
  bool recursive = false;
  bool ignoreCase = false;
  bool ignoreNoFile = false;
  bool japanese = false;
  bool help = false;
  std::string folder1, folder2;
};

extern const char* const kCliUsage;

// Parses the arguments after the program name; false on a usage error, with `error` saying why.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

}  // namespace vemo
