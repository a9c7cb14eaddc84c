// Runs on the real windows under Wine: Start, the worker, the progress window, the final box,
// Stop and Emergency Exit answered No (run_fixture.h: the test thread is the user-interface
// thread, a watcher thread acts as the user).
#include <regex>

#include "tests/run/run_fixture.h"
#include "ui/run/progress_scene.h"

namespace vemo {
namespace {

using namespace runtest;

TEST_F(RunWindows, CompletedRunWithoutFindings) {
  tree.File("one/a.txt", std::string(25000, 'a'));
  tree.File("two/a.txt", std::string(25000, 'a'));
  tree.File("one/sub/b.txt", "bee");
  tree.File("two/sub/b.txt", "bee");
  Ending e;
  RunWith([&] { e = AnswerFinalBox(); });

  const std::string summary = "No difference found.   (compared files:2  24KB)";
  ASSERT_TRUE(e.box) << "no final box";
  EXPECT_EQ(e.caption, "Completed.");
  EXPECT_EQ(e.box.text, summary);
  EXPECT_EQ(e.box.icon, testing::SystemIcon(IDI_INFORMATION));
  EXPECT_GE(e.msAfterBarsEnded, 950);
  EXPECT_EQ(e.view.panel1, summary);
  EXPECT_EQ(e.view.panel2, "0KB /0KB");
  EXPECT_EQ(e.view.panel3, "Completed.");
  EXPECT_EQ(e.view.appTitle, "Completed - Vemo");
  EXPECT_EQ(e.view.bar1, 0);
  EXPECT_EQ(e.view.bar1Max, 1024);
  EXPECT_EQ(e.view.bar2, 1024);
  EXPECT_EQ(e.view.bar2Max, 1024);
  EXPECT_TRUE(e.view.stopEnabled);

  EXPECT_EQ(MemoLines(), std::vector<std::string>{"No error."});
  EXPECT_FALSE(ProgressShown());
  EXPECT_FALSE(Form1->Minimized());
  EXPECT_EQ(SharedRunState().titleText.Get(), "Completed - Vemo");
  // The animation plays the rest of its cycle quickly, then the rest scene stops the timer.
  test::PumpUntil([] { return !Form1->Timer1.Enabled(); }, "the rest scene to stop the timer");
  EXPECT_EQ(SharedRunState().runFinished, 0);
  EXPECT_EQ(Form1->Timer1.Interval(), 100u);
  EXPECT_EQ(SceneState().scene, SceneWalkLeft);
  EXPECT_EQ(PBar->Image1.Left(), 348);
  EXPECT_EQ(PBar->Image1.GetPicture(), PBar->ImJp1.GetPicture());
  EXPECT_EQ(PBar->ImFolder1.Left(), 128);
  EXPECT_TRUE(PBar->Image1.Visible());
}

TEST_F(RunWindows, CompletedRunWithFindingsAndTheAnimationOff) {
  Form1->AnimationA1.SetChecked(false);
  tree.File("one/differs.txt", "abc");
  tree.File("two/differs.txt", "abd");
  tree.File("one/only1.txt", "x");
  Ending e;
  RunWith([&] { e = AnswerFinalBox(); });

  const std::string summary = "2 error(s) found.  (compared files:0  0KB)";
  ASSERT_TRUE(e.box) << "no final box";
  EXPECT_EQ(e.caption, "One or more errors found.");
  EXPECT_EQ(e.box.text, summary +
                            "\nYou can see more error infomation clicking \"Error Info...\""
                            "Button on main window.");
  EXPECT_EQ(e.box.icon, testing::SystemIcon(IDI_EXCLAMATION));
  EXPECT_EQ(e.view.panel1, summary);

  std::vector<std::string> lines = MemoLines();
  std::sort(lines.begin(), lines.end());
  const std::vector<std::string> expected{
      folder1 + "\\differs.txt and " + folder2 + "\\differs.txt differ in contents.",
      folder1 + "\\only1.txt does'nt exist in another folder."};
  EXPECT_EQ(lines, expected);
  EXPECT_FALSE(Form1->Timer1.Enabled());  // the animation off: the worker stops the timer
  EXPECT_FALSE(PBar->Image1.Visible());
  EXPECT_FALSE(PBar->ImFolder1.Visible());
  EXPECT_FALSE(PBar->ImageWhite.Visible());
}

// Stop ends the run within one block: what the comparison read after the stop took effect is
// at most the block it was reading. Nothing comes after the stopped ending's line.
TEST_F(RunWindows, StopMidFileEndsTheRunWithoutBoxOrLaterLines) {
  MakeBigPair(tree, 4ull << 30);
  ProgressView during, after;
  int64_t comparedAtStop = 0;
  bool boxSeen = false;
  RunWith([&] {
    ASSERT_TRUE(WaitFor([&] { return ProgressShown(); }));
    ASSERT_TRUE(WaitFor([&] {
      return WindowText(PBar->Panel1.Handle()).find("big.bin") != std::string::npos &&
             SendMessageW(PBar->ProgressBar1.Handle(), PBM_GETPOS, 0, 0) > 50;
    })) << ProgressView::Read().panel1
        << " / " << SendMessageW(PBar->ProgressBar1.Handle(), PBM_GETPOS, 0, 0);
    // The title shows the percentage within three timer ticks.
    WaitFor([] { return WindowText(ui::App().Handle()).find("% - Vemo") != std::string::npos; });
    during = ProgressView::Read();
    SendMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);  // returns once the handler has run
    comparedAtStop = SharedRunState().comparedSize;
    EXPECT_FALSE(IsWindowEnabled(PBar->Stop.Handle()));
    WaitFor([] { return !ProgressShown(); });
    boxSeen = bool(testing::FinalBox());
  });

  EXPECT_TRUE(std::regex_match(during.appTitle, std::regex("[0-9][0-9]% - Vemo")))
      << during.appTitle;
  EXPECT_TRUE(std::regex_match(during.panel2, std::regex(" *[0-9]+/ *4096MB"))) << during.panel2;
  EXPECT_TRUE(during.stopEnabled);
  EXPECT_LE(SharedRunState().comparedSize - comparedAtStop, SizeUnits(10240))
      << "the comparison went on after the stop";

  EXPECT_FALSE(boxSeen);
  after = ProgressView::Read();
  EXPECT_EQ(after.panel1, "Compare stopped.");
  EXPECT_EQ(after.panel2, "0KB /0KB");
  EXPECT_EQ(after.panel3, "Compare stopped.");
  EXPECT_EQ(after.appTitle, "Stopped - Vemo");
  EXPECT_EQ(after.bar1, 0);
  EXPECT_EQ(after.bar2, 1024);
  EXPECT_TRUE(after.stopEnabled);
  EXPECT_EQ(SharedRunState().stopRequested, 0);
  // The worker has been joined and everything it handed over shown: these are all its lines.
  EXPECT_EQ(MemoLines(), std::vector<std::string>{"Stopped."});
}

TEST_F(RunWindows, StopDuringThePreScanKeepsTheEarlierLines) {
  // A first run leaves its lines in the window.
  tree.File("one/only1.txt", "x");
  RunWith([&] { AnswerFinalBox(); });
  const std::vector<std::string> earlier = MemoLines();
  ASSERT_EQ(earlier.size(), 1u);

  // Many folder pairs keep the pre-scan busy long enough to be stopped in it.
  for (int i = 0; i < 1500; ++i) {
    tree.Folder("one/d" + std::to_string(i) + "/x");
    tree.Folder("two/d" + std::to_string(i) + "/x");
  }
  bool stoppedInPreScan = false;
  RunWith([&] {
    ASSERT_TRUE(WaitFor([] { return SharedRunState().preScanning == 1; }));
    SendMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);
    stoppedInPreScan = SharedRunState().preScanning == 1;
  });
  ASSERT_TRUE(stoppedInPreScan);
  std::vector<std::string> lines = MemoLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.front(), earlier.front());
  EXPECT_EQ(lines.back(), "Stopped.");
  EXPECT_EQ(WindowText(PBar->Panel1.Handle()), "Compare stopped.");
}

TEST_F(RunWindows, EmergencyExitAnsweredNoLetsTheRunGoOn) {
  MakeBigPair(tree);
  std::string question;
  HICON icon = nullptr;
  Ending e;
  RunWith([&] {
    ASSERT_TRUE(WaitFor([] { return ProgressShown(); }));
    PostMessageW(PBar->BitBtn2.Handle(), BM_CLICK, 0, 0);
    SeenBox box =
        ReadMessageBox(FindMessageBox("Exit Vemo ?", GetCurrentProcessId(), test::kHangGuardMs));
    ASSERT_TRUE(box);
    question = box.text;
    icon = box.icon;
    testing::PressBoxButton(box.hwnd, IDNO);
    e = AnswerFinalBox();
  });
  EXPECT_EQ(question, "Exit Vemo ?");
  EXPECT_EQ(icon, testing::SystemIcon(IDI_QUESTION));
  EXPECT_EQ(e.caption, "One or more errors found.");  // zsub/late.txt has no counterpart
  EXPECT_NE(e.box.text.find("compared files:1  1024MB)"), std::string::npos) << e.box.text;
}

TEST_F(RunWindows, CompareMenuStartsARunLikeTheButton) {
  tree.File("one/a.txt", "same");
  tree.File("two/a.txt", "same");
  Form1->Edit1.SetText(folder1);
  Form1->Edit2.SetText(folder2);
  Ending e;
  std::atomic<bool> userDone{false};
  std::thread watcher([&] {
    e = AnswerFinalBox();
    userDone = true;
  });
  Form1->CompareC1.Click();
  PumpUntil(userDone);
  watcher.join();
  EXPECT_EQ(e.caption, "Completed.");
  EXPECT_FALSE(ProgressShown());
}

TEST_F(RunWindows, TheSceneMovesDuringARun) {
  MakeBigPair(tree);
  const AnimationState before = SceneState();
  bool moved = false;
  RunWith([&] {
    ASSERT_TRUE(WaitFor([] { return ProgressShown(); }));
    moved = WaitFor([&] {
      const AnimationState& now = SceneState();
      return now.walkerX != before.walkerX || now.scene != before.scene ||
             now.sceneFrame != before.sceneFrame;
    });
    SendMessageW(PBar->Stop.Handle(), BM_CLICK, 0, 0);
  });
  EXPECT_TRUE(moved);
}

}  // namespace
}  // namespace vemo
