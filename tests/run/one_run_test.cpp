// One run at a time, whatever reaches the windows meanwhile: close requests to the progress
// window, the taskbar's restore and minimise, activation of any window (Alt+Tab), state
// commands to every window, the system hiding the progress window with its minimised owner,
// a second press of Start. Each leaves the progress window in front with the run going on and
// the main window hidden and disabled until the run has ended. Then the final box: in front of
// the progress window with the focus, also after clicks on it, which keeps its buttons.
#include <stdexcept>

#include "tests/run/run_fixture.h"
#include "tests/run/user_input.h"
#include "tests/support/memory_sink.h"
#include "tests/support/native_file_system.h"
#include "tests/support/test_file_system.h"
#include "ui/run/progress_scene.h"

namespace vemo {
namespace {

using namespace runtest;
using namespace testing;

bool MainWindowUsable() {
  return IsWindowVisible(Form1->Handle()) && IsWindowEnabled(Form1->Handle());
}

class OneRun : public RunWindows {
 protected:
  void SetUp() override {
    RunWindows::SetUp();
    // As at start-up: the application window holds the taskbar button, the main window shows.
    ShowWindow(ui::App().Handle(), SW_SHOWNOACTIVATE);
    Form1->Show();
    test::Settle();
  }

  // A run of two sparse 4 GiB files: seconds long, to be acted upon, then stopped.
  void LongRunWith(const std::function<void()>& user) {
    MakeBigPair(tree, 4ull << 30);
    RunWith([&] {
      ASSERT_TRUE(WaitFor([] { return ProgressShown() && SharedRunState().comparedSize > 0; }));
      user();
      if (ProgressShown()) SendMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);
      WaitFor([] { return !ProgressShown(); });
    });
    EXPECT_EQ(TCompareThread::Running(), 0);
    EXPECT_TRUE(MainWindowUsable()) << "the main window is back once the run has ended";
    EXPECT_EQ(PBar->Panel1.Caption(), "Compare stopped.") << "the run ended through Stop";
    Form1->Show();
  }

  // What every route must leave: checked from the watcher once the user-interface thread has
  // handled the action.
  static void ExpectRunInFront(const std::string& route) {
    ASSERT_TRUE(test::SettledFromOutside()) << route << ": the user-interface thread is stuck";
    const int64_t read = SharedRunState().comparedSize;
    EXPECT_TRUE(WaitFor([&] { return SharedRunState().comparedSize > read; }))
        << route << ": the run stopped moving";
    EXPECT_TRUE(PBar->Modal() && IsWindowVisible(PBar->Handle())) << route;
    EXPECT_TRUE(IsWindowEnabled(PBar->Handle())) << route;
    EXPECT_EQ(TCompareThread::Running(), 1) << route;
    EXPECT_FALSE(IsWindowVisible(Form1->Handle())) << route << ": the main window shows";
    EXPECT_FALSE(IsWindowEnabled(Form1->Handle())) << route << ": the main window is enabled";
    EXPECT_EQ(GetForegroundWindow(), PBar->Handle()) << route;
    for (HWND other : OtherShownWindows(PBar->Handle()))
      EXPECT_TRUE(Above(PBar->Handle(), other)) << route << ": " << ClassName(other);
  }
};

TEST_F(OneRun, CloseRequestsLeaveTheProgressWindowOpen) {
  LongRunWith([] {
    HWND bar = PBar->Handle();
    PostMessageW(bar, WM_CLOSE, 0, 0);
    ExpectRunInFront("WM_CLOSE");
    PostMessageW(bar, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectRunInFront("SC_CLOSE");
    SetForegroundWindow(bar);
    Press(VK_F4, true);
    ExpectRunInFront("Alt+F4");
    PostMessageW(ui::App().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the taskbar's Close
    ExpectRunInFront("SC_CLOSE to the taskbar window");
    PostMessageW(Form1->Handle(), WM_CLOSE, 0, 0);
    ExpectRunInFront("WM_CLOSE to the main window");
  });
}

TEST_F(OneRun, TheTaskbarAndAltTabBringTheProgressWindowForward) {
  LongRunWith([] {
    HWND app = ui::App().Handle();
    EXPECT_TRUE(IsIconic(app)) << "the application is minimised during a run";
    PostMessageW(app, WM_SYSCOMMAND, SC_RESTORE, 0);
    ExpectRunInFront("SC_RESTORE to the taskbar window");
    EXPECT_TRUE(IsIconic(app)) << "the application stays minimised during the run";
    PostMessageW(app, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ExpectRunInFront("SC_MINIMIZE to the taskbar window");
    SwitchToThisWindow(app, TRUE);  // what Alt+Tab does with the window it selects
    ExpectRunInFront("Alt+Tab to the taskbar window");
    SetForegroundWindow(app);
    ExpectRunInFront("activation of the taskbar window");
    ShowWindow(app, SW_RESTORE);  // the shell restoring it directly
    ExpectRunInFront("ShowWindow(SW_RESTORE) on the taskbar window");
  });
}

TEST_F(OneRun, StateCommandsToEveryWindowChangeNothing) {
  LongRunWith([] {
    const std::vector<std::pair<HWND, const char*>> windows = {
        {ui::App().Handle(), "taskbar window"},   {Form1->Handle(), "main window"},
        {Form2->Handle(), "Error Information"},   {About->Handle(), "About box"},
        {DragDropMsg->Handle(), "drop question"}, {PBar->Handle(), "progress window"}};
    for (auto [window, name] : windows) {
      for (auto [command, what] : {std::pair{SC_MINIMIZE, "SC_MINIMIZE"},
                                   {SC_MAXIMIZE, "SC_MAXIMIZE"},
                                   {SC_RESTORE, "SC_RESTORE"}}) {
        PostMessageW(window, WM_SYSCOMMAND, command, 0);
        ExpectRunInFront(std::string(what) + " to the " + name);
      }
      SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
      ExpectRunInFront(std::string("WM_ACTIVATE to the ") + name);
    }
    EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
    EXPECT_FALSE(IsWindowVisible(About->Handle()));
    EXPECT_FALSE(IsWindowVisible(DragDropMsg->Handle()));
  });
}

// The platform hides the owned windows of a minimised owner (Win+M, "show desktop"): the
// modal display goes on, and the next restore brings the progress window back in front.
TEST_F(OneRun, AHiddenProgressWindowComesBackAndTheRunGoesOn) {
  LongRunWith([] {
    ShowWindow(ui::App().Handle(), SW_MINIMIZE);
    ShowWindow(PBar->Handle(), SW_HIDE);
    ASSERT_TRUE(test::SettledFromOutside());
    EXPECT_TRUE(PBar->Modal()) << "the modal display ended with the window hidden";
    EXPECT_FALSE(MainWindowUsable());
    PostMessageW(ui::App().Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ExpectRunInFront("restore after the system hid the progress window");
  });
}

TEST_F(OneRun, StartIsIgnoredWhileARunIsActive) {
  LongRunWith([] {
    PostMessageW(Form1->Button2.Handle(), BM_CLICK, 0, 0);
    ExpectRunInFront("Start clicked on the hidden main window");
    PostMessageW(Form1->Edit1.Handle(), WM_KEYDOWN, VK_RETURN, 1);  // Enter on the default button
    ExpectRunInFront("Enter in the hidden main window");
    PostMessageW(Form1->Handle(), WM_COMMAND, Form1->CompareC1.Id(), 0);
    ExpectRunInFront("the Compare command");
  });
}

// A completed run's final box: opened above the progress window with the focus, so that Enter
// answers it. A click on the progress window works (the Stop button greys) and leaves the box
// above it with the focus; the scene plays on meanwhile.
TEST_F(OneRun, TheFinalBoxIsInFrontWithTheFocusAlsoAfterClicks) {
  tree.File("one/a.txt", "same");
  tree.File("two/a.txt", "same");
  HWND box = nullptr, focusAtOpen = nullptr, foregroundAtOpen = nullptr;
  bool aboveAtOpen = false, aboveAfterClicks = false, stopGreyed = false, walked = false;
  HWND focusAfterClicks = nullptr, foregroundAfterClicks = nullptr;
  RunWith([&] {
    ASSERT_TRUE(WaitFor([&] { return (box = FinalBox()) != nullptr; }));
    // Open: its button has the focus of its thread.
    WaitFor([&] { return GetParent(FocusOf(box)) == box; });
    ASSERT_TRUE(test::SettledFromOutside());
    foregroundAtOpen = GetForegroundWindow();
    focusAtOpen = GetParent(FocusOf(box));
    aboveAtOpen = Above(box, PBar->Handle());

    const AnimationState before = SceneState();
    Click(PBar->Stop.Handle());
    stopGreyed = WaitFor([] { return !IsWindowEnabled(PBar->Stop.Handle()); });
    POINT heading{20, 20};  // on the heading "Now Comparing..."
    ClientToScreen(PBar->Handle(), &heading);
    MouseDownAt(heading);
    ASSERT_TRUE(test::SettledFromOutside());
    MouseUp();
    // The scene plays on: it moves, or (its rest played quickly at the end) comes to rest and
    // stops its timer; one that had come to rest already shows nothing either way.
    walked = WaitFor([&] {
      return SceneState().walkerX != before.walkerX || SceneState().scene != before.scene ||
             !Form1->Timer1.Enabled();
    });
    // Once the mouse is up the box takes the front back (the deferred activation).
    // (A box of another thread is raised by that thread, so its place comes a moment later.)
    WaitFor([&] {
      return GetForegroundWindow() == box && GetParent(FocusOf(box)) == box &&
             Above(box, PBar->Handle());
    });
    ASSERT_TRUE(test::SettledFromOutside());
    foregroundAfterClicks = GetForegroundWindow();
    focusAfterClicks = GetParent(FocusOf(box));
    aboveAfterClicks = Above(box, PBar->Handle());
    Press(VK_RETURN);
    WaitFor([] { return !ProgressShown(); });
  });
  ASSERT_TRUE(box);
  EXPECT_EQ(foregroundAtOpen, box);
  EXPECT_EQ(focusAtOpen, box) << "the focus is on the box's button";
  EXPECT_TRUE(aboveAtOpen);
  EXPECT_TRUE(stopGreyed) << "the progress window's button works while the box is open";
  EXPECT_TRUE(walked) << "the animation goes on while the box is open";
  EXPECT_EQ(foregroundAfterClicks, box);
  EXPECT_EQ(focusAfterClicks, box);
  EXPECT_TRUE(aboveAfterClicks);
  EXPECT_FALSE(ProgressShown()) << "Enter answered the box";
  EXPECT_EQ(Form2->Memo1.Lines(), std::vector<std::string>{"No error."});
}

// An exception in the worker (here in the comparison's listing) ends the run through its
// stopped ending; once the main window is back it is shown in the general error report.
TEST_F(OneRun, AnExceptionInTheWorkerEndsTheRunAndIsReported) {
  tree.File("one/sub/a.txt", "a");
  tree.File("two/sub/a.txt", "a");
  FileSystem* native = &test::NativeFileSystem();
  TestFileSystem failing(*native);
  int lists = 0;
  failing.onList = [&lists](const std::string& folder) {
    if (folder.find("sub") != std::string::npos && ++lists == 3)  // the pre-scan lists it twice
      throw std::runtime_error("The network folder went away");
  };
  SetRunFileSystem(&failing);
  Form1->Edit1.SetText(folder1);
  Form1->Edit2.SetText(folder2);
  SeenBox report;
  bool mainBackAtReport = false;
  std::atomic<bool> userDone{false};
  std::thread user([&] {
    report =
        ReadMessageBox(FindMessageBox("Stopped - Vemo", GetCurrentProcessId(), test::kHangGuardMs));
    mainBackAtReport = MainWindowUsable() || IsWindowVisible(Form1->Handle());
    if (report) PressBoxButton(report.hwnd, IDOK);
    userDone = true;
  });
  // Pressed as the user presses it: the dispatcher reports what escapes the handler.
  SendMessageW(Form1->Button2.Handle(), BM_CLICK, 0, 0);
  PumpUntil(userDone);
  user.join();
  SetRunFileSystem(nullptr);

  ASSERT_TRUE(report) << "no error report";
  EXPECT_EQ(report.text, "The network folder went away.");
  EXPECT_EQ(report.icon, SystemIcon(IDI_HAND));
  EXPECT_TRUE(mainBackAtReport);
  EXPECT_FALSE(ProgressShown());
  EXPECT_EQ(TCompareThread::Running(), 0);
  EXPECT_EQ(PBar->Panel1.Caption(), "Compare stopped.");
  EXPECT_EQ(Form2->Memo1.Lines().back(), "Stopped.");
  EXPECT_EQ(SharedRunState().stopRequested, 0);
  EXPECT_TRUE(MainWindowUsable());
}

// A stop while a read waits on a drive that stopped answering: the progress window closes and
// the main window comes back while the read still waits; the read's thread closes its file when
// the read returns at last.
TEST_F(OneRun, AStopWhileAReadHangsGivesTheWindowsBackAtOnce) {
  tree.File("one/a.txt", "a");
  tree.File("two/a.txt", "a");
  FileSystem* native = &test::NativeFileSystem();
  TestFileSystem hanging(*native);
  testing::Hang hang;
  hanging.onRead = [&hang](const std::string&, int64_t, size_t) {
    hang.Wait();
    return false;
  };
  SetRunFileSystem(&hanging);
  bool reached = false, backWhileHung = false;
  RunWith([&] {
    reached = hang.Reached();
    PostMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);
    backWhileHung = WaitFor([] { return !ProgressShown() && MainWindowUsable(); });
    hang.Release();
  });
  SetRunFileSystem(nullptr);
  EXPECT_TRUE(reached);
  EXPECT_TRUE(backWhileHung);
  EXPECT_EQ(Form2->Memo1.Lines(), std::vector<std::string>{"Stopped."});
  EXPECT_EQ(PBar->Panel1.Caption(), "Compare stopped.");
  EXPECT_TRUE(hanging.WaitUntilQuiet());
}

// Answers pings on the user-interface thread, noting the thread's own CPU time and, at each
// answer, a figure of the windows (how many batches of lines Error Information had taken).
class Pinger {
 public:
  explicit Pinger(std::function<uint64_t()> note) : note_(std::move(note)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VemoTestPinger";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                          this);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Pinger() {
    DestroyWindow(hwnd_);
    CloseHandle(answered_);
  }
  // From another thread: one ping, answered (false past the hang guard), with the figure noted
  // at the answer and the thread's CPU time since the answer before.
  bool Ping(uint64_t& noted, double& cpuSinceLastMs) {
    PostMessageW(hwnd_, WM_APP, 0, 0);
    if (WaitForSingleObject(answered_, test::kHangGuardMs) != WAIT_OBJECT_0) return false;
    noted = noted_;
    cpuSinceLastMs = cpuSinceLastMs_;
    return true;
  }

 private:
  static double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
      return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Pinger*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg != WM_APP || !self) return DefWindowProcW(hwnd, msg, wparam, lparam);
    const double now = ThreadCpuMs();
    self->cpuSinceLastMs_ = self->lastCpuMs_ < 0 ? 0 : now - self->lastCpuMs_;
    self->lastCpuMs_ = now;
    self->noted_ = self->note_();
    SetEvent(self->answered_);
    return 0;
  }

  std::function<uint64_t()> note_;
  HWND hwnd_ = nullptr;
  HANDLE answered_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  double lastCpuMs_ = -1, cpuSinceLastMs_ = 0;
  uint64_t noted_ = 0;
};

// The engine's own lines for the run's folders on the same file system.
std::vector<std::string> EngineLines(FileSystem& files, const std::string& one,
                                     const std::string& two) {
  RunState state;
  state.recursive = 1;
  test::MemorySink engine;
  EXPECT_TRUE(Engine(state, files, engine).Run(one, two));
  return std::move(engine.lines);
}

// 200,000 findings (100,000 names on each side, none shared; listed without the disk). The
// progress window's thread answers all through the run: a message posted to it is handled
// before the next batch of lines, and between two answers it works at most a generous slice
// of its own CPU time. The Error Information window holds the engine's lines in their order.
TEST_F(OneRun, TwoHundredThousandFindingsKeepTheProgressWindowLive) {
  FileSystem* native = &test::NativeFileSystem();
  TestFileSystem made(*native);
  made.madeUp = {{"many1", "f", 100000}, {"many2", "g", 100000}};
  folder1 = tree.Folder("many1");
  folder2 = tree.Folder("many2");
  SetRunFileSystem(&made);
  Pinger pinger([] { return ProgressDisplay::Instance().LineBatches(); });
  uint64_t mostBatchesBehind = 0;
  double longestSliceMs = 0;
  int pings = 0;
  std::string caption;
  RunWith([&] {
    ASSERT_TRUE(WaitFor([] { return ProgressShown(); }));
    while (!FinalBox()) {
      const uint64_t before = ProgressDisplay::Instance().LineBatches();
      uint64_t batches = 0;
      double sliceMs = 0;
      ASSERT_TRUE(pinger.Ping(batches, sliceMs)) << "the user-interface thread stopped answering";
      mostBatchesBehind = std::max(mostBatchesBehind, batches - before);
      longestSliceMs = std::max(longestSliceMs, sliceMs);
      ++pings;
    }
    caption = AnswerFinalBox().caption;
  });
  SetRunFileSystem(nullptr);
  std::printf(
      "200,000 findings: %d pings, at most %llu batch(es) behind, longest slice %.0f ms "
      "of the thread's CPU time\n",
      pings, static_cast<unsigned long long>(mostBatchesBehind), longestSliceMs);
  EXPECT_EQ(caption, "One or more errors found.");
  EXPECT_GT(pings, 1);
  // The batch being written when it was posted, and one that an operation posted before it
  // takes along; never the stream that came after it.
  EXPECT_LE(mostBatchesBehind, 2u) << "a posted message waited behind the later batches";
  EXPECT_LT(longestSliceMs, 600) << "the user-interface thread was busy too long at a time";

  const std::vector<std::string> lines = EngineLines(made, folder1, folder2);
  ASSERT_EQ(lines.size(), 200000u);
  EXPECT_TRUE(Form2->Memo1.Lines() == lines) << "the lines differ from the engine's";
}

// 1,000,000 findings (1,000,000 names against an empty folder; listed without the disk), then
// Error Information opened as "Error Info..." opens it: its thread answers all along, a message
// posted to it is handled while the text box is still measuring its lines, and between two
// answers it works at most a generous slice of its own CPU time. The box holds the engine's
// lines, in their order.
TEST_F(OneRun, AMillionFindingsOpenInErrorInformationWhileItAnswers) {
  FileSystem* native = &test::NativeFileSystem();
  TestFileSystem made(*native);
  made.madeUp = {{"many", "f", 1000000}};
  folder1 = tree.Folder("many");
  folder2 = tree.Folder("none");
  SetRunFileSystem(&made);
  std::string caption;
  RunWith([&] { caption = AnswerFinalBox().caption; });
  SetRunFileSystem(nullptr);
  EXPECT_EQ(caption, "One or more errors found.");

  const uint64_t count = Form2->Memo1.LineCount();
  Pinger pinger([] { return uint64_t(Form2->Memo1.MeasuredLines()); });
  int pings = 0, whileMeasuring = 0;
  double longestSliceMs = 0;
  bool answering = true;
  std::thread user([&] {
    WaitFor([] { return IsWindowVisible(Form2->Handle()) != 0; });
    for (uint64_t measured = 0; answering && (measured < count || pings < 3); ++pings) {
      double sliceMs = 0;
      answering = pinger.Ping(measured, sliceMs);
      whileMeasuring += measured > 0 && measured < count;  // between two slices
      longestSliceMs = std::max(longestSliceMs, sliceMs);
    }
    PostMessageW(Form2->Handle(), WM_CLOSE, 0, 0);
  });
  Form2->Memo1.SetVisible(true);
  Form2->ShowModal();
  user.join();
  std::printf(
      "Error Information after 1,000,000 findings: %d pings, %d while measuring, longest slice "
      "%.0f ms of the thread's CPU time\n",
      pings, whileMeasuring, longestSliceMs);
  EXPECT_TRUE(answering) << "the user-interface thread stopped answering";
  EXPECT_GT(whileMeasuring, 0) << "the text box measured its lines without answering between";
  EXPECT_LT(longestSliceMs, 600) << "the user-interface thread was busy too long at a time";

  const std::vector<std::string> lines = EngineLines(made, folder1, folder2);
  ASSERT_EQ(lines.size(), 1000000u);
  EXPECT_EQ(Form2->Memo1.LineCount(), lines.size());
  EXPECT_TRUE(Form2->Memo1.Lines() == lines) << "the lines differ from the engine's";
}

// Every modal window opens with the focus on its first control in tab order: the progress
// window on "Stop Comparing".
TEST_F(OneRun, TheProgressWindowOpensOnStop) {
  HWND focus = nullptr;
  // The focus may pass through no window while the progress window is activated.
  LongRunWith([&] { WaitFor([&] { return (focus = FocusOf(PBar->Handle())) != nullptr; }); });
  EXPECT_EQ(focus, PBar->Stop.Handle());
}

}  // namespace
}  // namespace vemo
