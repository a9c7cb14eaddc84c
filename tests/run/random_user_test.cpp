// A seeded random user against the whole program, in-process on the real windows, every area's
// handlers bound: several runs, short and long, and random input meanwhile: clicks on the
// controls of every visible window, the keys Enter, Esc, Tab, Space, Alt+F4 and Alt+letters,
// close, minimise, restore and maximise to every top-level window, activation (Alt+Tab). After
// every action the invariants are checked:
//  - at most one worker, and the main window never shown and enabled while a run is active
//    (also watched all the time by a sentinel thread);
//  - exactly one final box for every completed run, none for a stopped one;
//  - the Error Information lines of every completed run equal the engine's for the same
//    folders and options;
//  - the program answers a message within one second.
// "Exit Vemo ?" is answered No during a run (Emergency Exit's Yes ends the program); the main
// window's Exit may be answered Yes, and the program is then started again (shown again). The
// folder lists and drive boxes are not clicked: they would point the next run at the disk.
// A failure names the seed and the action. VEMO_RANDOM_SEEDS ("first-last", default 1-4) and
// VEMO_RANDOM_ACTIONS (per seed, default 100) choose how much; `make soak` runs more, and
// VEMO_RANDOM_VERBOSE=1 prints every action.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "run/compare_thread.h"
#include "tests/run/user_input.h"
#include "tests/support/memory_sink.h"
#include "tests/support/native_file_system.h"
#include "tests/support/settle.h"
#include "tests/support/temp_tree.h"
#include "tests/support/test_file_system.h"
#include "tests/support/window_probe.h"
#include "ui/app/startup.h"
#include "ui/run/progress_display.h"
#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {
namespace {

using namespace testing;
using Clock = std::chrono::steady_clock;

int EnvInt(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::atoi(text) : fallback;
}

// The folder pairs of the runs, made once.
struct Trees {
  test::TempTree root{"random"};
  std::vector<std::pair<std::string, std::string>> pairs;
  std::vector<std::string> names;

  Trees() {
    Add("same", {{"a.txt", std::string(3000, 's')}, {"sub/b.txt", "bee"}},
        {{"a.txt", std::string(3000, 's')}, {"sub/b.txt", "bee"}});
    Add("differ",
        {{"diff.txt", "abc"},
         {"long.txt", "abc"},
         {"only1.txt", "1"},
         {"Case.TXT", "c"},
         {"dir1only/x", "x"},
         {"both/z.txt", "z1"}},
        {{"diff.txt", "abd"},
         {"long.txt", "abcd"},
         {"only2.txt", "2"},
         {"case.txt", "c"},
         {"dir2only/y", "y"},
         {"both/z.txt", "z2"}});
    std::vector<std::pair<std::string, std::string>> lots;
    for (int i = 0; i < 2000; ++i) lots.push_back({"f" + std::to_string(i), "x"});
    Add("many", lots, {{"keep.txt", "k"}});
    Add("long", {{"late.txt", "late"}, {"sub/s.txt", "s"}}, {{"sub/s.txt", "s"}});
    for (int side = 1; side <= 2; ++side) {  // two equal sparse files: seconds of reading
      const std::string big = root.File("long/" + std::to_string(side) + "/big.bin", "");
      std::filesystem::resize_file(std::filesystem::u8path(big), 2ull << 30);
    }
  }
  void Add(const std::string& name, const std::vector<std::pair<std::string, std::string>>& one,
           const std::vector<std::pair<std::string, std::string>>& two) {
    for (auto& [path, content] : one) root.File(name + "/1/" + path, content);
    for (auto& [path, content] : two) root.File(name + "/2/" + path, content);
    pairs.push_back({root.Folder(name + "/1"), root.Folder(name + "/2")});
    names.push_back(name);
  }
  bool Known(const std::string& one, const std::string& two) const {
    for (auto& pair : pairs)
      if (pair.first == one && pair.second == two) return true;
    return false;
  }
};

// The lines a completed run leaves, by the engine itself on the same folders and options.
class Expectations {
 public:
  Expectations() : files_(*native_) {
    // The big files are equal: read as empty, they give the same (no) finding at once.
    files_.readsEmpty = [](const std::string& path) {
      return path.size() >= 7 && path.compare(path.size() - 7, 7, "big.bin") == 0;
    };
  }
  const std::vector<std::string>& For(const std::string& one, const std::string& two, int recursive,
                                      int ignoreCase, int ignoreNoFile) {
    auto key = std::make_tuple(one, two, recursive, ignoreCase, ignoreNoFile);
    auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;
    RunState state;
    state.recursive = recursive;
    state.ignoreCase = ignoreCase;
    state.ignoreNoFile = ignoreNoFile;
    test::MemorySink sink;
    Engine(state, files_, sink).Run(one, two);
    if (state.errorCount == 0) sink.lines.push_back(kNoErrorLine);
    return cache_[key] = sink.lines;
  }

 private:
  FileSystem* native_ = &test::NativeFileSystem();
  TestFileSystem files_;
  std::map<std::tuple<std::string, std::string, int, int, int>, std::vector<std::string>> cache_;
};

// Watches, every millisecond from its own thread, what must hold at every moment, and counts
// the final boxes that open (one can open and be answered between two of the user's looks).
class Sentinel {
 public:
  Sentinel() : thread_([this] { Watch(); }) {}
  ~Sentinel() {
    stop_ = true;
    thread_.join();
  }
  std::string Violation() {
    std::lock_guard<std::mutex> lock(mutex_);
    return violation_;
  }
  int FinalBoxes() const { return boxes_; }

 private:
  void Watch() {
    HWND main = Form1->Handle();
    HWND lastBox = nullptr;
    while (!stop_) {
      const int before = TCompareThread::Running();
      const bool usable = IsWindowVisible(main) && IsWindowEnabled(main);
      const int after = TCompareThread::Running();
      if (before > 1 || after > 1) Note("two workers at once");
      if (before > 0 && after > 0 && usable)
        Note("the main window was shown and enabled while a worker ran");
      HWND box = FinalBox();  // sends the box nothing
      if (box && box != lastBox) ++boxes_;
      lastBox = box;
      Sleep(1);
    }
  }
  void Note(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (violation_.empty()) violation_ = what;
  }
  std::atomic<bool> stop_{false};
  std::atomic<int> boxes_{0};
  std::mutex mutex_;
  std::string violation_;
  std::thread thread_;
};

// Runs fn on the user-interface thread and returns its result (waits at most five seconds).
template <class F>
auto OnUi(F fn) -> decltype(fn()) {
  auto task = std::make_shared<std::packaged_task<decltype(fn())()>>(fn);
  auto result = task->get_future();
  ui::App().Post([task] { (*task)(); });
  if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) return {};
  return result.get();
}

std::string Describe(HWND window) { return ClassName(window) + " '" + WindowText(window) + "'"; }

class RandomUser {
 public:
  RandomUser(unsigned seed, const Trees& trees, Expectations& expect, Sentinel& sentinel)
      : seed_(seed), rng_(seed), trees_(trees), expect_(expect), sentinel_(sentinel) {}

  // Acts `count` times; false (with the failure reported) when an invariant broke.
  bool Act(int count) {
    for (index_ = 1; index_ <= count; ++index_) {
      action_ = Choose();
      if (verbose_)
        std::printf("%u/%d %s%s\n", seed_, index_, RunActive() ? "[run] " : "", action_.c_str());
      history_.push_back(action_);
      if (history_.size() > 8) history_.pop_front();
      if (!Settle() || !Check()) return false;
    }
    action_ = "winding down";
    return WindDown();
  }

  int completed = 0, stopped = 0;

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

  static bool RunActive() {
    return TCompareThread::Running() > 0 || IsWindowVisible(PBar->Handle());
  }
  static bool MainUsable() {
    return IsWindowVisible(Form1->Handle()) && IsWindowEnabled(Form1->Handle());
  }

  // The visible top-level windows that a hand can reach (not the zero-sized taskbar window,
  // not open menus, which the keys handle).
  static std::vector<HWND> Reachable() {
    std::vector<HWND> windows;
    for (HWND w : TopWindows(GetCurrentProcessId())) {
      RECT r;
      GetWindowRect(w, &r);
      if (w != ui::App().Handle() && ClassName(w) != "#32768" && r.right > r.left)
        windows.push_back(w);
    }
    return windows;
  }

  // Where a click can land in a window: its controls, the progress window's folder picture.
  static std::vector<POINT> Targets(HWND window, std::vector<std::string>& names) {
    std::vector<POINT> points;
    for (HWND child : Descendants(window)) {
      if (!IsWindowVisible(child)) continue;
      const std::string kind = ClassName(child);
      if (kind == "ListBox" || kind == "ComboBox" || kind == "ComboLBox") continue;
      if (HWND parent = GetParent(child); parent && ClassName(parent) == "ComboBox") continue;
      // Buttons and check boxes count three times: panels and group boxes do little.
      const int weight = kind == "Button" ? 3 : 1;
      for (int i = 0; i < weight; ++i) {
        points.push_back(Centre(child));
        names.push_back(kind + " '" + WindowText(child) + "'");
      }
    }
    if (window == PBar->Handle()) {
      POINT folder{PBar->ImFolder1.Left() + 20, PBar->ImFolder1.Top() + 16};
      ClientToScreen(window, &folder);
      points.push_back(folder);
      names.push_back("the carried folder");
    }
    return points;
  }

  std::string Choose() {
    // The one question whose Yes would end the program during a run.
    if (HWND question = FindMessageBox("Exit Vemo ?", GetCurrentProcessId())) {
      const bool yes = !RunActive() && Chance(0.3);
      PressBoxButton(question, yes ? IDYES : IDNO);
      return yes ? "Yes to \"Exit Vemo ?\" (main window's Exit)" : "No to \"Exit Vemo ?\"";
    }
    if (!RunActive() && MainUsable() && Chance(0.35)) return StartRun();
    switch (Pick(10)) {
      case 0:
      case 1:
      case 2: return ClickSomething();
      case 3:
      case 4: return PressSomething();
      case 5:
      case 6: return CommandSomething();
      case 7: return ActivateSomething();
      case 8: return HoldTheFolder();
      default: {
        const int ms = 100 + Pick(500);
        Sleep(ms);
        return "wait " + std::to_string(ms) + " ms";
      }
    }
  }

  std::string StartRun() {
    // The long run, which the user's input meets mid-run, two times in five.
    const int last = int(trees_.pairs.size()) - 1;
    const int which = Chance(0.4) ? last : Pick(last);
    for (auto [edit, text] : {std::pair{Form1->Edit1.Handle(), trees_.pairs[which].first},
                              {Form1->Edit2.Handle(), trees_.pairs[which].second}}) {
      DWORD_PTR ignored;
      SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()),
                          SMTO_NORMAL, test::kHangGuardMs, &ignored);
    }
    if (Chance(0.5)) {
      Click(Form1->Button2.Handle());
      return "Start on " + trees_.names[which];
    }
    Click(Form1->Edit2.Handle());
    Sleep(30);
    Press(VK_RETURN);
    return "Enter in Folder 2's box on " + trees_.names[which];
  }

  std::string ClickSomething() {
    std::vector<HWND> windows = Reachable();
    if (windows.empty()) return "no window to click";
    HWND window = windows[Pick(int(windows.size()))];
    std::vector<std::string> names;
    std::vector<POINT> points = Targets(window, names);
    if (points.empty()) return "nothing to click in " + Describe(window);
    const int which = Pick(int(points.size()));
    ClickAt(points[which]);
    return "click " + names[which] + " in " + Describe(window);
  }

  std::string PressSomething() {
    static const char kLetters[] = "FVOLHCXEARNJ12S";
    switch (Pick(7)) {
      case 0: Press(VK_RETURN); return "Enter";
      case 1: Press(VK_ESCAPE); return "Esc";
      case 2: Press(VK_TAB); return "Tab";
      case 3: Press(VK_SPACE); return "Space";
      case 4: Press(VK_F4, true); return "Alt+F4";
      default: {
        const char letter = kLetters[Pick(int(sizeof kLetters) - 1)];
        Press(letter, true);
        return std::string("Alt+") + letter;
      }
    }
  }

  std::string CommandSomething() {
    std::vector<std::pair<HWND, std::string>> windows = {
        {ui::App().Handle(), "the taskbar window"}, {Form1->Handle(), "the main window"},
        {Form2->Handle(), "Error Information"},     {About->Handle(), "the About box"},
        {PBar->Handle(), "the progress window"},    {DragDropMsg->Handle(), "the drop question"}};
    for (HWND box : Reachable())
      if (ClassName(box) == "#32770") windows.push_back({box, Describe(box)});
    auto [window, name] = windows[Pick(int(windows.size()))];
    static const std::pair<UINT, WPARAM> kCommands[] = {{WM_SYSCOMMAND, SC_CLOSE},
                                                        {WM_SYSCOMMAND, SC_MINIMIZE},
                                                        {WM_SYSCOMMAND, SC_RESTORE},
                                                        {WM_SYSCOMMAND, SC_MAXIMIZE},
                                                        {WM_CLOSE, 0}};
    static const char* const kNames[] = {"SC_CLOSE", "SC_MINIMIZE", "SC_RESTORE", "SC_MAXIMIZE",
                                         "WM_CLOSE"};
    // A message box has no minimise or maximise box: only its close requests are a user's.
    int which = ClassName(window) == "#32770" ? (Chance(0.5) ? 0 : 4) : Pick(5);
    PostMessageW(window, kCommands[which].first, kCommands[which].second, 0);
    return std::string(kNames[which]) + " to " + name;
  }

  std::string ActivateSomething() {
    if (Chance(0.4)) {
      SwitchToThisWindow(ui::App().Handle(), TRUE);
      return "Alt+Tab to the taskbar window";
    }
    std::vector<HWND> windows = Reachable();
    if (windows.empty()) return "no window to activate";
    HWND window = windows[Pick(int(windows.size()))];
    SetForegroundWindow(window);
    return "activate " + Describe(window);
  }

  std::string HoldTheFolder() {
    if (!IsWindowVisible(PBar->Handle())) return ClickSomething();
    POINT folder{PBar->ImFolder1.Left() + 20, PBar->ImFolder1.Top() + 16};
    ClientToScreen(PBar->Handle(), &folder);
    const int ms = 100 + Pick(500);
    MouseDownAt(folder);
    Sleep(ms);
    MouseUp();
    return "hold the carried folder " + std::to_string(ms) + " ms";
  }

  // A user's pause between two actions, after which the program has taken the action in;
  // false when it no longer gets there (the hang guard).
  bool Settle() {
    Sleep(40 + Pick(60));
    if (!test::SettledFromOutside()) return Fail("the program stopped handling what reached it");
    return true;
  }

  bool Check() {
    if (std::string v = sentinel_.Violation(); !v.empty()) return Fail(v);
    if (TCompareThread::Running() > 1) return Fail("two workers at once");
    const bool active = RunActive();
    if (active && MainUsable()) return Fail("the main window is shown and enabled during a run");
    if (FinalBox() && !active) return Fail("a final box without a run");
    if (active && !run_.active) {
      run_ = Run{};
      run_.active = true;
      run_.boxesBefore = sentinel_.FinalBoxes();
      const RunState& state = SharedRunState();
      run_.options[0] = state.recursive;
      run_.options[1] = state.ignoreCase;
      run_.options[2] = state.ignoreNoFile;
      run_.folders[0] = WindowText(Form1->Edit1.Handle());
      run_.folders[1] = WindowText(Form1->Edit2.Handle());
      if (!trees_.Known(run_.folders[0], run_.folders[1])) {
        // Folders this test did not make (a folder list moved): not compared to the end.
        run_.checked = false;
        PostMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);
      }
    }
    const int boxes = sentinel_.FinalBoxes() - run_.boxesBefore;
    if (run_.active && boxes > 1) return Fail("a second final box in one run");
    if (!active && run_.active) {
      run_.active = false;
      const std::string status = WindowText(PBar->Panel1.Handle());
      const std::vector<std::string> lines = OnUi([] { return Form2->Memo1.Lines(); });
      if (status == "Compare stopped.") {
        ++stopped;
        if (boxes != 0) return Fail("a final box for a stopped run");
        if (lines.empty() || lines.back() != "Stopped.") return Fail("no \"Stopped.\" line");
      } else {
        ++completed;
        if (boxes != 1)
          return Fail("a completed run showed " + std::to_string(boxes) + " final boxes");
        if (run_.checked) {
          const std::vector<std::string>& expected = expect_.For(
              run_.folders[0], run_.folders[1], run_.options[0], run_.options[1], run_.options[2]);
          if (lines != expected) return Fail(Difference(lines, expected));
        }
      }
    }
    return true;
  }

  static std::string Difference(const std::vector<std::string>& got,
                                const std::vector<std::string>& want) {
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    std::ostringstream text;
    text << "Error Information holds " << got.size() << " lines, the engine " << want.size()
         << "; first difference at line " << i + 1 << ": '" << (i < got.size() ? got[i] : "")
         << "' instead of '" << (i < want.size() ? want[i] : "") << "'";
    return text.str();
  }

  bool Fail(const std::string& what) {
    std::ostringstream text;
    text << "seed " << seed_ << ", action " << index_ << " (" << action_ << "): " << what
         << "\n  last actions:";
    for (const std::string& a : history_) text << "\n    " << a;
    ADD_FAILURE() << text.str();
    return false;
  }

  // Back to a quiet main window: runs stopped, boxes answered, dialogs closed.
  bool WindDown() {
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);  // an open menu
    for (int i = 0; i < 300; ++i) {
      if (HWND question = FindMessageBox("Exit Vemo ?", GetCurrentProcessId())) {
        PressBoxButton(question, IDNO);
      } else if (HWND box = FinalBox()) {
        PressBoxButton(box, IDOK);
      } else if (IsWindowVisible(PBar->Handle())) {
        PostMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);
      } else if (HWND other =
                     FindMessageBox({"Vemo", "Vemo Help", "Stopped - Vemo", "Completed - Vemo"},
                                    GetCurrentProcessId())) {
        PressBoxButton(other, IDOK);
      } else if (IsWindowVisible(Form2->Handle()) || IsWindowVisible(About->Handle())) {
        PostMessageW(IsWindowVisible(Form2->Handle()) ? Form2->Handle() : About->Handle(), WM_CLOSE,
                     0, 0);
      } else if (IsIconic(ui::App().Handle())) {
        PostMessageW(ui::App().Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
      } else if (IsIconic(Form2->Handle())) {
        PostMessageW(Form2->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
      } else if (MainUsable() && !RunActive()) {
        return Check();
      }
      Sleep(100);
      if (!Check()) return false;
    }
    return Fail("the program did not come back to its main window");
  }

  struct Run {
    bool active = false, checked = true;
    int options[3] = {0, 0, 0};
    std::string folders[2];
    int boxesBefore = 0;  // final boxes the sentinel had seen when the run began
  };

  unsigned seed_;
  std::mt19937 rng_;
  const Trees& trees_;
  Expectations& expect_;
  Sentinel& sentinel_;
  int index_ = 0;
  bool verbose_ = EnvInt("VEMO_RANDOM_VERBOSE", 0) != 0;
  std::string action_;
  std::deque<std::string> history_;
  Run run_;
};

TEST(RandomUser, OneRunAtATimeWhateverTheUserDoes) {
  int first = 1, last = 4;
  if (const char* seeds = std::getenv("VEMO_RANDOM_SEEDS"); seeds && *seeds) {
    first = std::atoi(seeds);
    const char* dash = std::strchr(seeds, '-');
    last = dash ? std::atoi(dash + 1) : first;
  }
  const int actions = EnvInt("VEMO_RANDOM_ACTIONS", 100);

  ui::App().Initialize();
  ui::App().SetTitle("Vemo");
  CreateForms();
  BindHandlers();
  ShowWindow(ui::App().Handle(), SW_SHOWNOACTIVATE);  // the taskbar button, as at start-up
  // Shown from the message loop, with the user there: on a fresh registry it asks first.
  ui::App().Post([] { Form1->Show(); });
  Trees trees;
  Expectations expect;
  for (auto* list : {&Form1->DirectoryListBox1, &Form1->DirectoryListBox2})
    list->SetDirectory(trees.pairs[0].first);  // should a list move, it stays in the trees

  std::atomic<bool> done{false}, loopEnded{false};
  int completed = 0, stopped = 0, acted = 0;
  std::thread user([&] {
    Sentinel sentinel;
    for (int seed = first; seed <= last; ++seed) {
      RandomUser random(unsigned(seed), trees, expect, sentinel);
      const bool good = random.Act(actions);
      completed += random.completed;
      stopped += random.stopped;
      if (!good) break;
      acted += actions;
    }
    done = true;
    PostMessageW(ui::App().Handle(), WM_NULL, 0, 0);
    // A program that no longer answers would keep the loop below: end the test instead.
    for (int waited = 0; !loopEnded && waited < 10000; waited += 10) Sleep(10);
    if (!loopEnded) {
      std::printf("random user: the user-interface thread no longer runs its loop\n");
      std::fflush(stdout);
      std::_Exit(1);
    }
  });
  // The program's message loop; should the main window close (Exit, Alt+F4), it starts again.
  while (!done) {
    MSG msg;
    if (!ui::App().HandleMessage(msg) && !Form1->Visible()) Form1->Show();
  }
  loopEnded = true;
  user.join();
  std::printf("random user: seeds %d-%d, %d actions, %d completed runs, %d stopped runs\n", first,
              last, acted, completed, stopped);
  if (acted >= 300) {  // enough input that both endings come up
    EXPECT_GT(completed, 0);
    EXPECT_GT(stopped, 0);
  }
}

}  // namespace
}  // namespace vemo
