// Times one comparison through the real vemo.exe: from the progress window's first look to
// the final message box, and how fast "Stop Comparing" reacts in a second run.
// usage: gui_bench VEMO.EXE FOLDER1 FOLDER2 [RUNS]
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/run/vemo_process.h"

using namespace vemo::testing;

namespace {

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / double(freq.QuadPart);
}

const char* const kProgressCaption = "Vemo -  Comparing...";

bool StartRun(VemoProcess& vemo, HWND main, HWND& progress, double& started) {
  HWND start = ChildWithText(main, "Start");
  if (!start) return false;
  PostMessageW(start, BM_CLICK, 0, 0);
  for (int i = 0; i < 20000; ++i) {
    progress = vemo.WaitWindow(kProgressCaption, "", 0);
    if (progress) break;
    Sleep(1);
  }
  started = Now();
  return progress != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: gui_bench VEMO.EXE FOLDER1 FOLDER2 [RUNS]\n");
    return 2;
  }
  VemoProcess vemo(vemo::ToUtf8(argv[1]));
  HWND main = vemo.Started() ? vemo.WaitMainWindow(30000) : nullptr;
  if (!main) {
    std::fprintf(stderr, "gui_bench: no main window\n");
    return 1;
  }
  std::vector<HWND> edits = EditBoxes(main);
  SendMessageW(edits.at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
  SendMessageW(edits.at(1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));

  // The timed runs, each to its final box.
  const int runs = argc == 5 ? _wtoi(argv[4]) : 1;
  HWND progress = nullptr;
  double started = 0;
  std::string seconds;
  for (int run = 0; run < runs; ++run) {
    if (!StartRun(vemo, main, progress, started)) return 1;
    HWND box = nullptr;
    while (!(box = vemo.WaitWindow("Completed.", "#32770", 0))) {
      if (vemo.WaitWindow("One or more errors found.", "#32770", 0)) {
        std::fprintf(stderr, "gui_bench: the run found errors\n");
        return 1;
      }
      Sleep(5);
    }
    const double finished = Now();
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    while (IsWindowVisible(progress)) Sleep(5);
    char figure[32];
    std::snprintf(figure, sizeof figure, "%s%.3f", run ? "," : "", finished - started);
    seconds += figure;
    Sleep(500);
  }

  // A second run, stopped after a second: the click's handling and the end of the run.
  if (!StartRun(vemo, main, progress, started)) return 1;
  Sleep(1000);
  HWND stop = ChildWithText(progress, "Stop Comparing");
  const double click = Now();
  DWORD_PTR ignored;
  SendMessageTimeoutW(stop, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
  const double handled = Now();
  while (IsWindowVisible(progress)) Sleep(1);
  const double ended = Now();

  PostMessageW(main, WM_CLOSE, 0, 0);
  vemo.WaitExit(10000);
  std::printf("gui_seconds=%s stop_click_ms=%.1f stop_end_ms=%.1f\n", seconds.c_str(),
              (handled - click) * 1000, (ended - click) * 1000);
  return 0;
}
