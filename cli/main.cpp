// vemo-cli: one comparison run on the console, as the worker thread runs it without windows.
#include <csignal>
#include <cstdio>
#include <cstdlib>
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
// What the program changes in the console it shares with its caller, to be put back at exit.
struct ConsoleChanges {
  UINT outputCodePage = 0;  // 0: no console
  HANDLE progress = nullptr;
  DWORD progressMode = 0;
  bool modeChanged = false;
} console;

void RestoreConsole() {
  if (console.modeChanged) SetConsoleMode(console.progress, console.progressMode);
  console.modeChanged = false;
  if (console.outputCodePage) SetConsoleOutputCP(console.outputCodePage);
  console.outputCodePage = 0;
}

BOOL WINAPI OnConsoleCtrl(DWORD type) {
  if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
    // The run stops and main returns: the console is restored on the way out.
    vemo::SharedRunState().stopRequested = 1;
    return TRUE;
  }
  RestoreConsole();  // the console closes or the user logs off: the process ends right after
  return FALSE;
}

std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i) args.push_back(vemo::ToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

void CatchInterrupt() { SetConsoleCtrlHandler(OnConsoleCtrl, TRUE); }

// Returns whether the progress line may use escape sequences (virtual-terminal processing on).
bool PrepareConsole() {
  // A drive without a medium answers with an error instead of a "no disk" box.
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // Both streams end lines with LF alone, as the native build does: one output for every
  // platform, which the console, PowerShell, cmd's for /f and findstr all read as lines.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  console.outputCodePage = GetConsoleOutputCP();
  std::atexit(RestoreConsole);
  if (console.outputCodePage) SetConsoleOutputCP(CP_UTF8);
  console.progress = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(console.progress, &mode)) return false;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  if (!SetConsoleMode(console.progress, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return false;
  console.progressMode = mode;
  console.modeChanged = true;
  return true;
}

bool IsTerminal(std::FILE* f) { return _isatty(_fileno(f)) != 0; }
#else
// The first Ctrl-C asks the run to stop; a second one ends the program at once.
void OnInterrupt(int) {
  vemo::SharedRunState().stopRequested = 1;
  signal(SIGINT, SIG_DFL);
}

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

void CatchInterrupt() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

bool PrepareConsole() { return true; }

bool IsTerminal(std::FILE* f) { return isatty(fileno(f)) != 0; }
#endif

}  // namespace

int main(int argc, char** argv) {
  // First of all: a Ctrl-C from now on stops the run, whenever it comes.
  CatchInterrupt();
  const bool escapes = PrepareConsole();
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

  // Kept to the process's end: a thread that a stop left in a call that does not return (a
  // share that stopped answering) closes what it opened there when the call returns.
  // Held by a static, it stays reachable to the end, which a leak checker counts as kept.
  static vemo::FileSystem* const fs = vemo::MakeNativeFileSystem().release();
  vemo::ConsoleSink sink(stdout, stderr, IsTerminal(stderr), state, escapes);
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
