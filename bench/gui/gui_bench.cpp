// Times the real vemo.exe as a user meets it, from another process:
//  run:       comparisons from the progress window's first look to the final message box;
//             in one more, how long the progress window took at worst to answer a message and
//             to repaint; then (with "stop") how fast "Stop Comparing" reacts in a further run;
//  errorinfo: one comparison as above, then "Error Info...": how long until the Error
//             Information window shows and until its text box holds every line, and the
//             longest the program took meanwhile to answer a message;
//  startup:   the program started with a stored Folder 1: how long until the main window is
//             there and until it answers, and its longest answer in the seconds after;
//  hung:      a run on a drive where a read never returns, stopped 3 s in: how long from the
//             click until the progress window is gone and until the main window answers.
// usage: gui_bench run VEMO.EXE FOLDER1 FOLDER2 RUNS [stop]
//        gui_bench errorinfo VEMO.EXE FOLDER1 FOLDER2 LINES
//        gui_bench startup VEMO.EXE FOLDER1 RUNS
//        gui_bench hung VEMO.EXE FOLDER1 FOLDER2
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/vemo_process.h"
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
const char* const kErrorInfoCaption = "Vemo Error Information";
// Far beyond any answer worth waiting for: a thread that takes longer is reported at this.
const UINT kLongestAnswerMs = 180000;

// How long the window's thread takes to answer a message now, in ms (kLongestAnswerMs when it
// did not answer at all).
double AnswerMs(HWND window) {
  const double asked = Now();
  DWORD_PTR ignored;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kLongestAnswerMs, &ignored))
    return kLongestAnswerMs;
  return (Now() - asked) * 1000;
}

// The window's slowest answer over the next SECONDS, asked every few ms.
double SlowestAnswerMs(HWND window, double seconds) {
  const double from = Now();
  double slowest = 0;
  while (Now() - from < seconds) {
    slowest = std::max(slowest, AnswerMs(window));
    Sleep(5);
  }
  return slowest;
}

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

// Watches a window from another thread: the longest wait for an answer to a message, and (when
// asked) the longest wait for a repaint of the invalidated window.
class Liveness {
 public:
  Liveness(HWND window, bool paints)
      : window_(window), paints_(paints), thread_([this] { Watch(); }) {}
  ~Liveness() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  double AnswerMs() const { return answerMs_; }
  // When the slowest answer was asked for, in ms from the watch's start.
  double SlowestAtMs() const { return slowestAtMs_; }
  double PaintMs() const { return paintMs_; }

 private:
  void Watch() {
    const double watched = Now();
    for (int round = 0; !stop_; ++round) {
      const double asked = Now();
      const double answer = ::AnswerMs(window_);
      if (answer > answerMs_) {
        answerMs_ = answer;
        slowestAtMs_ = (asked - watched) * 1000;
      }
      if (paints_ && round % 10 == 0) {
        const double invalidated = Now();
        InvalidateRect(window_, nullptr, FALSE);
        while (!stop_ && GetUpdateRect(window_, nullptr, FALSE)) Sleep(1);
        if (!stop_) paintMs_ = std::max(paintMs_.load(), (Now() - invalidated) * 1000);
      }
      Sleep(5);
    }
  }

  HWND window_;
  bool paints_;
  std::atomic<bool> stop_{false};
  std::atomic<double> answerMs_{0}, paintMs_{0}, slowestAtMs_{0};
  std::thread thread_;
};

HWND FinalBox(const VemoProcess& vemo) {
  return FindMessageBox({"Completed.", "One or more errors found."}, vemo.Pid());
}

// The main window of a started program with both folders typed in; null when it never came.
HWND MainWithFolders(VemoProcess& vemo, const wchar_t* folder1, const wchar_t* folder2) {
  HWND main = vemo.Started() ? vemo.WaitMainWindow(kLongestAnswerMs) : nullptr;
  if (!main) {
    std::fprintf(stderr, "gui_bench: no main window\n");
    return nullptr;
  }
  std::vector<HWND> edits = EditBoxes(main);
  SendMessageW(edits.at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder1));
  if (folder2) SendMessageW(edits.at(1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder2));
  return main;
}

void Close(VemoProcess& vemo, HWND main) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  vemo.WaitExit(kLongestAnswerMs);
}

// The worst figures of a watched run: the progress window's answers and repaints during it,
// and the main window's answers from the click on the final box's OK until two seconds after.
struct RunWatch {
  double answerMs = 0, answerAtMs = 0, paintMs = 0, afterBoxMs = 0;
};

// One run to its final box, answered: its time and, when watched, its worst figures. The watch
// asks for an answer every few ms and forces repaints: on two cores that slowed the run itself
// by about a fifth (1.34x vemo-cli.exe watched, 1.08-1.11x not), so runs that are timed are not
// watched.
bool TimedRun(VemoProcess& vemo, HWND main, double& seconds, RunWatch* watch) {
  HWND progress = nullptr;
  double started = 0;
  if (!StartRun(vemo, main, progress, started)) return false;
  std::optional<Liveness> liveness;
  if (watch) liveness.emplace(progress, true);
  HWND box = nullptr;
  // Every window of the desktop is looked at for the box: not more often than this.
  while (!(box = FinalBox(vemo))) Sleep(20);
  seconds = Now() - started;
  if (liveness) {
    liveness->Stop();
    if (liveness->AnswerMs() > watch->answerMs) {
      watch->answerMs = liveness->AnswerMs();
      watch->answerAtMs = liveness->SlowestAtMs();
    }
    watch->paintMs = std::max(watch->paintMs, liveness->PaintMs());
  }
  std::optional<Liveness> afterBox;
  if (watch) afterBox.emplace(main, false);
  PressBoxButton(box, IDOK);
  while (IsWindowVisible(progress)) Sleep(5);
  if (afterBox) {
    Sleep(2000);
    afterBox->Stop();
    watch->afterBoxMs = std::max(watch->afterBoxMs, afterBox->AnswerMs());
  }
  return true;
}

// Starts a run and clicks Stop Comparing MS into it: sent (returns once the click is handled) or
// posted. CLICK is when it was clicked.
bool StopAfter(VemoProcess& vemo, HWND main, DWORD ms, bool send, HWND& progress, double& click) {
  double started = 0;
  if (!StartRun(vemo, main, progress, started)) return false;
  Sleep(ms);
  HWND button = ChildWithText(progress, "Stop Comparing");
  click = Now();
  DWORD_PTR ignored;
  if (send)
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
  else
    PostMessageW(button, BM_CLICK, 0, 0);
  return true;
}

int Runs(const wchar_t* exe, const wchar_t* folder1, const wchar_t* folder2, int runs, bool stop) {
  VemoProcess vemo(vemo::ToUtf8(exe));
  HWND main = MainWithFolders(vemo, folder1, folder2);
  if (!main) return 1;
  RunWatch watch;
  std::string seconds;
  // The timed runs, then one more watched for the answers and repaints.
  for (int run = 0; run <= runs; ++run) {
    double s = 0;
    if (!TimedRun(vemo, main, s, run == runs ? &watch : nullptr)) return 1;
    char figure[32];
    std::snprintf(figure, sizeof figure, "%s%.3f", run ? "," : "", s);
    if (run < runs) seconds += figure;
    Sleep(500);
  }
  std::printf("gui_seconds=%s answer_ms=%.1f paint_ms=%.1f after_box_ms=%.1f", seconds.c_str(),
              watch.answerMs, watch.paintMs, watch.afterBoxMs);

  if (stop) {
    // A further run, stopped after a second: the click's handling and the end of the run.
    HWND progress = nullptr;
    double click = 0;
    if (!StopAfter(vemo, main, 1000, true, progress, click)) return 1;
    const double handled = Now();
    while (IsWindowVisible(progress)) Sleep(1);
    const double ended = Now();
    std::printf(" stop_click_ms=%.1f stop_end_ms=%.1f", (handled - click) * 1000,
                (ended - click) * 1000);
  }
  std::printf("\n");
  Close(vemo, main);
  return 0;
}

// The line count of the Error Information window's text box, asked of the box itself.
long ShownLines(HWND errorInfo) {
  std::vector<HWND> children = Descendants(errorInfo);
  DWORD_PTR count = 0;
  if (children.empty() || !SendMessageTimeoutW(children[0], EM_GETLINECOUNT, 0, 0, SMTO_NORMAL,
                                               kLongestAnswerMs, &count))
    return -1;
  return static_cast<long>(count);
}

int ErrorInfo(const wchar_t* exe, const wchar_t* folder1, const wchar_t* folder2, long lines) {
  VemoProcess vemo(vemo::ToUtf8(exe));
  HWND main = MainWithFolders(vemo, folder1, folder2);
  if (!main) return 1;
  double seconds = 0;
  RunWatch watch;
  if (!TimedRun(vemo, main, seconds, &watch)) return 1;
  std::printf("gui_seconds=%.3f answer_ms=%.1f answer_at_s=%.1f paint_ms=%.1f after_box_ms=%.1f",
              seconds, watch.answerMs, watch.answerAtMs / 1000, watch.paintMs, watch.afterBoxMs);

  // "Error Info...": the main window's thread is watched from the click on (the Error
  // Information window is modal: the main window still answers through the same thread),
  // until every line is in the text box and two seconds after.
  HWND button = ChildWithText(main, "Error Info...");
  Liveness liveness(main, false);
  const double click = Now();
  PostMessageW(button, BM_CLICK, 0, 0);
  HWND errorInfo = vemo.WaitWindow(kErrorInfoCaption, "", kLongestAnswerMs);
  const double shown = Now();
  long seen = -1;
  while (errorInfo && (seen = ShownLines(errorInfo)) >= 0 && seen < lines) Sleep(20);
  const double full = Now();
  Sleep(2000);
  liveness.Stop();
  std::printf(" open_shown_ms=%.1f open_full_ms=%.1f open_lines=%ld open_answer_ms=%.1f\n",
              (shown - click) * 1000, (full - click) * 1000, seen, liveness.AnswerMs());
  if (errorInfo) PostMessageW(errorInfo, WM_CLOSE, 0, 0);
  Close(vemo, main);
  return errorInfo && seen == lines ? 0 : 1;
}

// Each run: the folder stored as Folder 1 (the program closed with it typed in), then the
// program started anew and timed from its start.
int Startup(const wchar_t* exe, const wchar_t* folder1, int runs) {
  double windowMs = 0, firstMs = 0, slowestMs = 0;
  for (int run = 0; run < runs; ++run) {
    {
      VemoProcess storing(vemo::ToUtf8(exe));
      HWND main = MainWithFolders(storing, folder1, nullptr);
      if (!main) return 1;
      Close(storing, main);
    }
    const double started = Now();
    VemoProcess vemo(vemo::ToUtf8(exe));
    HWND main = nullptr;
    while (vemo.Started() && !main && Now() - started < kLongestAnswerMs / 1000.0) {
      for (HWND h : TopWindows(vemo.Pid()))
        if (CaptionOf(h) == "Vemo" && ClassName(h) != "#32770" && !EditBoxes(h).empty()) main = h;
      if (!main) Sleep(1);
    }
    if (!main) return 1;
    const double appeared = Now();
    AnswerMs(main);
    const double answered = Now();
    // The seconds after: whatever the program still does for its folders must not hold it.
    const double slowest = SlowestAnswerMs(main, 5);
    windowMs = std::max(windowMs, (appeared - started) * 1000);
    firstMs = std::max(firstMs, (answered - started) * 1000);
    slowestMs = std::max(slowestMs, slowest);
    Close(vemo, main);
  }
  std::printf("window_ms=%.1f answer_ms=%.1f slowest_ms=%.1f\n", windowMs, firstMs, slowestMs);
  return 0;
}

int Hung(const wchar_t* exe, const wchar_t* folder1, const wchar_t* folder2) {
  VemoProcess vemo(vemo::ToUtf8(exe));
  HWND main = MainWithFolders(vemo, folder1, folder2);
  if (!main) return 1;
  HWND progress = nullptr;
  double click = 0;
  if (!StopAfter(vemo, main, 3000, false, progress, click)) return 1;
  while (IsWindowVisible(progress) && Now() - click < kLongestAnswerMs / 1000.0) Sleep(1);
  const double closed = Now();
  while (!(IsWindowVisible(main) && IsWindowEnabled(main)) &&
         Now() - click < kLongestAnswerMs / 1000.0)
    Sleep(1);
  AnswerMs(main);
  const double answered = Now();
  // The seconds after: the read left behind must not hold the window.
  const double slowest = SlowestAnswerMs(main, 2);
  std::printf("closed_ms=%.1f answer_ms=%.1f slowest_ms=%.1f\n", (closed - click) * 1000,
              (answered - click) * 1000, slowest);
  std::fflush(stdout);
  // The user closes the program. A thread of it still sits in the read, which Wine (like
  // Windows) cannot take out of the kernel: the process may only end once the drive answers or
  // goes, which bench/gui-run sees to after this. Nothing here waits for that.
  PostMessageW(main, WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"run" && (argc == 6 || argc == 7))
    return Runs(argv[2], argv[3], argv[4], _wtoi(argv[5]), argc == 7);
  if (mode == L"errorinfo" && argc == 6)
    return ErrorInfo(argv[2], argv[3], argv[4], _wtol(argv[5]));
  if (mode == L"startup" && argc == 5) return Startup(argv[2], argv[3], _wtoi(argv[4]));
  if (mode == L"hung" && argc == 5) return Hung(argv[2], argv[3], argv[4]);
  std::fprintf(stderr,
               "usage: gui_bench run VEMO.EXE FOLDER1 FOLDER2 RUNS [stop]\n"
               "       gui_bench errorinfo VEMO.EXE FOLDER1 FOLDER2 LINES\n"
               "       gui_bench startup VEMO.EXE FOLDER1 RUNS\n"
               "       gui_bench hung VEMO.EXE FOLDER1 FOLDER2\n");
  return 2;
}
