// The real windows in-process for a run: the test thread is the user-interface thread and sits
// in the Start handler's modal display; a watcher thread acts as the user meanwhile: it reads
// the windows through their handles, finds the real message boxes and presses their buttons.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/run_state.h"
#include "run/compare_thread.h"
#include "tests/run/user_input.h"
#include "tests/support/give_up.h"
#include "tests/support/settle.h"
#include "tests/support/temp_tree.h"
#include "tests/support/window_probe.h"
#include "ui/run/progress_display.h"
#include "ui/run/run_actions.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/pump_for.h"
#include "ui/windows/forms.h"

namespace vemo::runtest {

using testing::FindMessageBox;
using testing::ReadMessageBox;
using testing::SeenBox;
using testing::WindowText;
using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// What the user sees of the progress window, read from another thread through the handles.
struct ProgressView {
  std::string panel1, panel2, panel3, appTitle;
  int bar1 = -1, bar1Max = -1, bar2 = -1, bar2Max = -1;
  bool stopEnabled = false;

  static ProgressView Read() {
    ProgressView v;
    v.panel1 = WindowText(PBar->Panel1.Handle());
    v.panel2 = WindowText(PBar->Panel2.Handle());
    v.panel3 = WindowText(PBar->Panel3.Handle());
    v.appTitle = WindowText(ui::App().Handle());
    auto bar = [](HWND h, int& pos, int& max) {
      pos = int(SendMessageW(h, PBM_GETPOS, 0, 0));
      max = int(SendMessageW(h, PBM_GETRANGE, FALSE, 0));
    };
    bar(PBar->ProgressBar1.Handle(), v.bar1, v.bar1Max);
    bar(PBar->ProgressBar2.Handle(), v.bar2, v.bar2Max);
    v.stopEnabled = IsWindowEnabled(PBar->Stop.Handle()) != 0;
    return v;
  }
};

using testing::WaitFor;

inline bool ProgressShown() { return IsWindowVisible(PBar->Handle()) != 0; }

// Answers the windows' messages on the test (user-interface) thread until the user is done.
inline void PumpUntil(const std::atomic<bool>& userDone) {
  test::PumpUntil([&] { return userDone.load(); }, "the user's actions to end", 180000);
}

class RunWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (Form1) return;  // the windows live as long as the process, as in the program
    ui::App().Initialize();
    CreateForms();
    BindRunHandlers();
  }

  void SetUp() override {
    Form1->CheckBox2.SetChecked(true);
    Form1->CheckBox1.SetChecked(false);
    Form1->CheckBox3.SetChecked(false);
    Form1->AnimationA1.SetChecked(true);
  }

  // Presses Start on the test (user-interface) thread while `user` acts on another thread;
  // returns when the progress window has closed, the worker has been joined and everything it
  // handed over has been shown.
  void RunWith(const std::function<void()>& user) {
    Form1->Edit1.SetText(folder1);
    Form1->Edit2.SetText(folder2);
    std::atomic<bool> userDone{false};
    std::thread watcher([&] {
      user();
      DismissLeftovers();
      userDone = true;
    });
    Form1->Button2.Click();
    // The user may still be reading the windows: keep answering their messages.
    PumpUntil(userDone);
    watcher.join();
    EXPECT_EQ(TCompareThread::Running(), 0) << "Start returned before its worker ended";
    ProgressDisplay::Instance().Flush();
  }

  // A user action that failed leaves the run going: let it end, so the test can report.
  static void DismissLeftovers() {
    test::SettledFromOutside();
    if (ProgressShown() && !testing::FinalBox()) {
      std::printf("(the run is still going: stopping it)\n");
      PostMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);
    }
    WaitFor([] {
      if (HWND box = testing::FinalBox()) testing::PressBoxButton(box, IDOK);
      return !ProgressShown();
    });
  }

  // The final box: what the window showed when it opened, its caption, text and icon; then OK.
  // The pause before it is the program's own record: from the ending's figures to the box.
  struct Ending {
    ProgressView view;
    SeenBox box;
    std::string caption;
    double msAfterBarsEnded = 0;
  };
  static Ending AnswerFinalBox() {
    Ending e;
    EXPECT_TRUE(WaitFor([] { return ProgressShown(); }));
    EXPECT_TRUE(WaitFor([] { return WindowText(PBar->Panel3.Handle()) == "Completed."; }, 60000));
    e.box = ReadMessageBox(testing::FinalBox(test::kHangGuardMs));  // a second after Completed.
    e.caption = e.box.caption;
    const ProgressDisplay& display = ProgressDisplay::Instance();
    e.msAfterBarsEnded =
        std::chrono::duration<double, std::milli>(display.FinalBoxAt() - display.FiguresShownAt())
            .count();
    e.view = ProgressView::Read();
    if (e.box) testing::PressBoxButton(e.box.hwnd, IDOK);
    return e;
  }

  static std::vector<std::string> MemoLines() { return Form2->Memo1.Lines(); }

  test::TempTree tree{"gui"};
  std::string folder1 = tree.Folder("one");
  std::string folder2 = tree.Folder("two");
};

// Two equal files of 1 GiB or more (sparse, so they are made at once and read fast) and, after them
// in the walk, a sub-folder whose entries would give lines.
inline void MakeBigPair(test::TempTree& tree, uint64_t size = 1ull << 30) {
  for (const char* side : {"one", "two"}) {
    const std::string path = tree.File(std::string(side) + "/big.bin", "");
    std::filesystem::resize_file(std::filesystem::u8path(path), size);
  }
  tree.File("one/zsub/late.txt", "late");
  tree.Folder("two/zsub");
}

}  // namespace vemo::runtest
