// Times one comparison through the real vemo.exe: from the progress window's first look to
// the final message box, and how long the progress window took at worst, meanwhile, to answer
// a message and to repaint; then how fast "Stop Comparing" reacts in a second run.
// usage: gui_bench VEMO.EXE FOLDER1 FOLDER2 [RUNS [nostop]]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/run/vemo_process.h"
#include "tests/support/window_probe.h"

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

// Watches the progress window from another thread while a run goes on: the longest wait for
// an answer to a message, and the longest wait for a repaint of an invalidated window.
class Liveness {
 public:
  explicit Liveness(HWND window) : window_(window), thread_([this] { Watch(); }) {}
  ~Liveness() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  double AnswerMs() const { return answerMs_; }
  double PaintMs() const { return paintMs_; }

 private:
  void Watch() {
    for (int round = 0; !stop_; ++round) {
      const double asked = Now();
      DWORD_PTR ignored;
      if (!SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored)) return;
      answerMs_ = std::max(answerMs_, (Now() - asked) * 1000);
      if (round % 10 == 0) {
        const double invalidated = Now();
        InvalidateRect(window_, nullptr, FALSE);
        while (!stop_ && GetUpdateRect(window_, nullptr, FALSE)) Sleep(1);
        if (!stop_) paintMs_ = std::max(paintMs_, (Now() - invalidated) * 1000);
      }
      Sleep(5);
    }
  }

  HWND window_;
  std::atomic<bool> stop_{false};
  double answerMs_ = 0, paintMs_ = 0;
  std::thread thread_;
};

HWND FinalBox(const VemoProcess& vemo) {
  return FindMessageBox({"Completed.", "One or more errors found."}, vemo.Pid());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || argc > 6) {
    std::fprintf(stderr, "usage: gui_bench VEMO.EXE FOLDER1 FOLDER2 [RUNS [nostop]]\n");
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
  const int runs = argc >= 5 ? _wtoi(argv[4]) : 1;
  HWND progress = nullptr;
  double started = 0, answerMs = 0, paintMs = 0;
  std::string seconds;
  for (int run = 0; run < runs; ++run) {
    if (!StartRun(vemo, main, progress, started)) return 1;
    Liveness liveness(progress);
    HWND box = nullptr;
    while (!(box = FinalBox(vemo))) Sleep(2);
    const double finished = Now();
    liveness.Stop();
    answerMs = std::max(answerMs, liveness.AnswerMs());
    paintMs = std::max(paintMs, liveness.PaintMs());
    PressBoxButton(box, IDOK);
    while (IsWindowVisible(progress)) Sleep(5);
    char figure[32];
    std::snprintf(figure, sizeof figure, "%s%.3f", run ? "," : "", finished - started);
    seconds += figure;
    Sleep(500);
  }
  std::printf("gui_seconds=%s answer_ms=%.1f paint_ms=%.1f", seconds.c_str(), answerMs, paintMs);

  if (argc < 6) {
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
    std::printf(" stop_click_ms=%.1f stop_end_ms=%.1f", (handled - click) * 1000,
                (ended - click) * 1000);
  }
  std::printf("\n");
  PostMessageW(main, WM_CLOSE, 0, 0);
  vemo.WaitExit(10000);
  return 0;
}
