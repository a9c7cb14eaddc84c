#include "cli/cli_options.h"

namespace vemo {

const char* const kCliUsage =
    "usage: vemo-cli [-r|--recursive] [-i|--ignore-case] [-n|--ignore-nofile] [--japanese] "
    "FOLDER1 FOLDER2\n";

const char* const kCliHelp =
    "Compares two folders file by file, byte for byte, and prints one line for each difference,\n"
    "then a summary line.\n"
    "\n"
    "  -r, --recursive      also compare every sub-folder that exists on both sides\n"
    "  -i, --ignore-case    match file names without regard to the case of letters A-Z\n"
    "  -n, --ignore-nofile  say nothing about files that have no counterpart\n"
    "      --japanese       write the lines in Japanese\n"
    "  -h, --help           show this text\n"
    "      --version        show the version\n"
    "\n"
    "Exit status: 0 no difference found, 1 differences or unreadable files found,\n"
    "2 wrong usage, 130 stopped with Ctrl-C.\n";

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                     std::string& error) {
  std::vector<std::string> folders;
  bool optionsEnd = false;
  for (const std::string& arg : args) {
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      folders.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--recursive") {
      options.recursive = true;
    } else if (arg == "--ignore-case") {
      options.ignoreCase = true;
    } else if (arg == "--ignore-nofile") {
      options.ignoreNoFile = true;
    } else if (arg == "--japanese") {
      options.japanese = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg[1] != '-') {
      for (size_t i = 1; i < arg.size(); ++i) {  // short options, alone or grouped: -rin
        switch (arg[i]) {
          case 'r': options.recursive = true; break;
          case 'i': options.ignoreCase = true; break;
          case 'n': options.ignoreNoFile = true; break;
          default: error = "unknown option: -" + std::string(1, arg[i]); return false;
        }
      }
    } else {
      error = "unknown option: " + arg;
      return false;
    }
  }
  if (options.help || options.version) return true;
  if (folders.size() != 2) {
    error = folders.size() < 2 ? "two folders are needed" : "too many folders";
    return false;
  }
  options.folder1 = folders[0];
  options.folder2 = folders[1];
  return true;
}

}  // namespace vemo
