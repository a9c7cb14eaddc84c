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
  bool version = false;
  std::string folder1, folder2;
};

// The one-line usage (after a usage error) and the full text of --help.
extern const char* const kCliUsage;
extern const char* const kCliHelp;

// Parses the arguments after the program name; false on a usage error, with `error` saying why.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

}  // namespace vemo
