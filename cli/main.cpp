// vemo-cli: one comparison run on the console, as the worker thread runs it without windows.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include "win32/text.h"
#else
#include <unistd.h>
#endif

#include "cli/cli_options.h"
#include "cli/console_sink.h"
#include "engine/engine.h"
#include "release/version.h"

namespace {

#ifdef _WIN32
BOOL WINAPI OnConsoleCtrl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  vemo::SharedRunState().stopRequested = 1;
  return TRUE;
}

std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i) args.push_back(vemo::ToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

void PrepareConsole() {
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCtrlHandler(OnConsoleCtrl, TRUE);
}

bool IsTerminal(std::FILE* f) { return _isatty(_fileno(f)) != 0; }
#else
// The first Ctrl-C asks the run to stop; a second one ends the program at once.
void OnInterrupt(int) {
  vemo::SharedRunState().stopRequested = 1;
  signal(SIGINT, SIG_DFL);
}

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

void PrepareConsole() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

bool IsTerminal(std::FILE* f) { return isatty(fileno(f)) != 0; }
#endif

}  // namespace

int main(int argc, char** argv) {
  PrepareConsole();
  vemo::CliOptions options;
  std::string error;
  if (!vemo::ParseCliOptions(Arguments(argc, argv), options, error)) {
    std::fprintf(stderr, "vemo-cli: %s\n%s", error.c_str(), vemo::kCliUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(vemo::kCliUsage, stdout);
    std::fputs(vemo::kCliHelp, stdout);
    return 0;
  }
  if (options.version) {
    std::fputs("vemo-cli " VEMO_VERSION "\n", stdout);
    return 0;
  }

  vemo::RunState& state = vemo::SharedRunState();
  state.language = options.japanese ? 1 : 0;
  state.recursive = options.recursive ? 1 : 0;
  state.ignoreCase = options.ignoreCase ? 1 : 0;
  state.ignoreNoFile = options.ignoreNoFile ? 1 : 0;

  state.titleText.Set("Calculating - Vemo");

  auto fs = vemo::MakeNativeFileSystem();
  vemo::ConsoleSink sink(stdout, stderr, IsTerminal(stderr), state);
  vemo::Engine engine(state, *fs, sink);
  if (!engine.Run(options.folder1, options.folder2)) {
    sink.AddErrorLine(vemo::kStoppedLine);
    state.stopRequested = 0;
    sink.Flush();
    return 130;
  }
  if (state.errorCount == 0) sink.AddErrorLine(vemo::kNoErrorLine);
  sink.AddErrorLine(vemo::SummaryText(state.errorCount, state.filesCompared, state.comparedSize));
  sink.Flush();
  return state.errorCount == 0 ? 0 : 1;
}
