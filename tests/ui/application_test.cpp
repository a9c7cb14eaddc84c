// The application object and the Error Information window: the ordered queue from another
// thread (also into a nested modal loop), the quit request inside a modal loop, the general
// error report, and a run's lines arriving in the text box.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "run/ui_handoff.h"
#include "tests/support/hang_guard.h"
#include "tests/support/settle.h"
#include "tests/ui/ui_test_support.h"
#include "ui/toolkit/check_box.h"
#include "ui/toolkit/custom_control.h"
#include "ui/toolkit/drives.h"
#include "ui/toolkit/sub_folder_listing.h"
#include "ui/toolkit/timer.h"

namespace vemo {
namespace {

using test::EnsureForms;

// A control of ours that fails in its own handling of a message.
class FailingControl : public ui::CustomControl {
 public:
  static constexpr UINT kFail = WM_APP + 50;
  void Create(ui::WinControl& parent) {
    ui::Layout layout;
    layout.name = "Failing";
    layout.width = layout.height = 10;
    CreateCustom(parent, layout);
  }

  bool failPaint = false;

 protected:
  void PaintWindow(HDC, const RECT&) override {
    if (failPaint) throw std::runtime_error("The picture is damaged");
  }
  bool HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == kFail) throw std::bad_alloc();
    return false;
  }
};

// What fails where no handler of a form runs, in a control's window procedure or on a thread
// of the window side, is the general error report too, never the end of the program.
TEST(ErrorReport, FailuresInControlsAndSideThreadsAreReported) {
  EnsureForms();
  // Kept with its form (a form keeps its controls to its end), on one that stays hidden.
  static FailingControl control;
  if (!control.Handle()) control.Create(*About);
  auto inControl = test::WatchMessageBox("Vemo", test::kHangGuardMs);
  SendMessageW(control.Handle(), FailingControl::kFail, 0, 0);
  EXPECT_EQ(inControl.get().text, std::string(std::bad_alloc().what()) + ".");

  // A paint that fails is reported once, after the paint: the failures that follow (the report
  // box painted over the control paints it again) are not, until a paint has succeeded.
  auto paint = [&] {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
    DeleteDC(dc);
  };
  for (int round = 0; round < 2; ++round) {  // the second after a paint that succeeded
    control.failPaint = true;
    auto report = test::WatchMessageBox("Vemo", test::kHangGuardMs);
    paint();
    test::PumpUntil(
        [&] { return report.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        "the paint's report");
    EXPECT_EQ(report.get().text, "The picture is damaged.");
    paint();
    test::Settle();
    EXPECT_EQ(testing::FindMessageBox("Vemo", GetCurrentProcessId()), nullptr);
    control.failPaint = false;
    paint();
  }

  // Only this folder fails: the main window's own lists may be listing meanwhile.
  static const std::string failing = "C:\\vemo-failing-listing";
  ui::SetSubFolderSource(
      [](const std::string& folder, const std::atomic<bool>& stop) -> std::vector<std::string> {
        if (folder == failing) throw std::runtime_error("The device is not ready");
        return ui::drives::SubFolders(folder, &stop);
      });
  auto onThread = test::WatchMessageBox("Vemo", test::kHangGuardMs);
  ui::SubFolderListing listing(failing);
  EXPECT_TRUE(listing.Wait(test::kHangGuardMs)) << "a failed listing is done all the same";
  EXPECT_TRUE(listing.TakeNames().empty());
  test::PumpUntil(
      [&] { return onThread.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
      "the report");
  EXPECT_EQ(onThread.get().text, "The device is not ready.");
  ui::SetSubFolderSource(nullptr);
}

TEST(Queue, ClosuresFromAnotherThreadRunInOrderAlsoInsideAModalLoop) {
  EnsureForms();
  std::vector<int> seen;
  std::thread worker([&] {
    for (int i = 0; i < 500; ++i) ui::App().Post([&seen, i] { seen.push_back(i); });
    // The dialog opened by the first of these runs its own loop; the rest must still come.
    ui::App().Post([] { DragDropMsg->ShowModal(); });
    for (int i = 500; i < 1000; ++i) ui::App().Post([&seen, i] { seen.push_back(i); });
    ui::App().Post([] { DragDropMsg->SetModalResult(ui::kResultCancel); });
  });
  worker.join();
  test::PumpUntil([&] { return seen.size() == 1000u && !DragDropMsg->Visible(); },
                  "the closures and the dialog's end");
  ASSERT_EQ(seen.size(), 1000u);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(seen[i], i);
  EXPECT_FALSE(DragDropMsg->Visible());
}

// A wake refused (the posted-message quota, here every other one and then all) loses nothing:
// what waits still runs, in order, the last closure too, in both lines.
TEST(Queue, AWakeTheQueueRefusesLosesNoClosure) {
  EnsureForms();
  static std::atomic<int> posts{0};
  ui::App().SetWakePoster([](HWND window, UINT message, WPARAM w, LPARAM l) -> BOOL {
    if (++posts % 2 == 0 || posts > 6) return FALSE;
    return PostMessageW(window, message, w, l);
  });
  std::vector<int> posted, later;
  std::thread worker([&] {
    for (int i = 0; i < 40; ++i) {
      if (i % 3 == 0) ui::App().PostLater([&later, i] { later.push_back(i); });
      ui::App().Post([&posted, i] { posted.push_back(i); });
      std::this_thread::sleep_for(std::chrono::milliseconds(i % 5));
    }
  });
  worker.join();
  test::PumpUntil([&] { return posted.size() == 40u && later.size() == 14u; }, "every closure");
  ui::App().SetWakePoster(nullptr);
  EXPECT_EQ(posted.size(), 40u);
  EXPECT_TRUE(std::is_sorted(posted.begin(), posted.end()));
  EXPECT_EQ(later.size(), 14u);
  EXPECT_TRUE(std::is_sorted(later.begin(), later.end()));
}

TEST(Modal, QuitEndsTheLoopAsCancelledAndIsPostedAgain) {
  EnsureForms();
  HWND main = Form1->Handle();
  EnableWindow(main, TRUE);
  ShowWindow(main, SW_SHOWNA);
  bool mainDisabledWhileModal = false;
  ui::App().Post([&] {
    mainDisabledWhileModal = !IsWindowEnabled(main);
    ui::App().Terminate();
  });
  EXPECT_EQ(PBar->ShowModal(), ui::kResultCancel);
  EXPECT_TRUE(ui::App().Quitting()) << "the caller can tell the quit from a Cancel";
  EXPECT_TRUE(mainDisabledWhileModal);
  EXPECT_TRUE(IsWindowEnabled(main));  // enabled again afterwards
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // for the outer loop
  ShowWindow(main, SW_HIDE);
}

TEST(ErrorReport, CaptionIsTheCurrentTitleTextIsTheMessageWithAFullStop) {
  EnsureForms();
  Form1->Button4.OnClick = [] { throw std::runtime_error("Disk not ready"); };
  ui::App().SetTitle("42% - Vemo");
  auto watch = test::WatchMessageBox("42% - Vemo");
  SendMessageW(Form1->Button4.Handle(), BM_CLICK, 0, 0);  // the dispatcher reports it
  testing::SeenBox result = watch.get();
  EXPECT_TRUE(result.shown);
  EXPECT_EQ(result.text, "Disk not ready.");

  // A silent abort shows nothing.
  Form1->Button4.OnClick = [] { throw ui::SilentAbort(); };
  auto none = test::WatchMessageBox("42% - Vemo", 600);
  SendMessageW(Form1->Button4.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(none.get().shown);
  Form1->Button4.OnClick = nullptr;
  ui::App().SetTitle("Vemo");
}

TEST(ErrorReport, MessageBoxAnswersWithThePlatformValues) {
  EnsureForms();
  auto watch = test::WatchMessageBox("Exit Vemo ?", 5000, IDYES);
  EXPECT_EQ(ui::App().MessageBox("Exit Vemo ?", "Exit Vemo ?", 36), 6);
  EXPECT_TRUE(watch.get().shown);
}

// A run's lines as they reach the Error Information window: through the one ordered queue
// into the user-interface thread, in batches, into the real text box.
OrderedWrites ErrorInfoWrites() {
  return OrderedWrites([](OrderedWrites::Op op) { ui::App().Post(std::move(op)); },
                       [](const TextLines& lines) { Form2->Memo1.AppendLines(lines); });
}

// Pumps until the text box holds `count` lines.
void PumpUntilLines(size_t count) {
  test::PumpUntil([count] { return Form2->Memo1.LineCount() >= count; }, "the lines");
}

TEST(ErrorInfo, LinesFromTheWorkerArriveInOrderEachWholeAfterTheClear) {
  EnsureForms();
  ui::Memo& memo = Form2->Memo1;
  EXPECT_EQ(memo.Lines(), std::vector<std::string>{"No error."});
  OrderedWrites writes = ErrorInfoWrites();
  std::thread worker([&] {
    writes.PushLine("dropped by the clear");
    writes.Push([&memo] { memo.Clear(); });
    for (int i = 0; i < 2000; ++i) writes.PushLine("line " + std::to_string(i));
    writes.Push([&memo] { memo.Clear(); });
    for (int i = 0; i < 3; ++i) writes.PushLine(u8"ファイル " + std::to_string(i));
  });
  worker.join();
  PumpUntilLines(3);
  test::Settle();
  EXPECT_EQ(memo.Lines(),
            (std::vector<std::string>{u8"ファイル 0", u8"ファイル 1", u8"ファイル 2"}));
  memo.SetLines({"No error."});
}

TEST(ErrorInfo, LongLinesStayWholeAndTheTextBoxFollowsTheWindow) {
  EnsureForms();
  TForm2& f = *Form2;
  std::string longLine(2000, 'x');
  f.Memo1.SetLines({"one", "two", "three"});
  f.Memo1.AppendLine(longLine);
  EXPECT_EQ(f.Memo1.LineCount(), 4);
  EXPECT_EQ(f.Memo1.Lines().back(), longLine);
  EXPECT_EQ(SendMessageW(f.Memo1.Handle(), EM_GETLINECOUNT, 0, 0), 4);  // not wrapped

  // Show and close (as Start does) leaves the text; the text box follows a resized window.
  f.Show();
  f.Close();
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(f.Memo1.LineCount(), 4);
  f.SetBounds(50, 50, 520, 410);
  RECT client, memo;
  GetClientRect(f.Handle(), &client);
  memo = test::RectInParent(f.Memo1.Handle());
  EXPECT_EQ(memo.left, 0);
  EXPECT_EQ(memo.top, 0);
  EXPECT_EQ(memo.right, client.right);
  EXPECT_EQ(memo.bottom, client.bottom);
  f.SetBounds(50, 50, 400, 300);
  f.Memo1.SetLines({"No error."});
}

TEST(ErrorInfo, ManyLinesFromTheWorkerStayCheap) {
  EnsureForms();
  ui::Memo& memo = Form2->Memo1;
  const int kLines = 100000;
  OrderedWrites writes = ErrorInfoWrites();
  std::thread worker([&] {
    writes.Push([&memo] { memo.Clear(); });
    for (int i = 0; i < kLines; ++i)
      writes.PushLine("C:\\Folder 1\\sub\\file" + std::to_string(i) +
                      ".txt Differ from C:\\Folder 2");
  });
  PumpUntilLines(kLines);  // a line-by-line append would pass the hang guard
  worker.join();
  EXPECT_EQ(memo.Lines()[kLines - 1], "C:\\Folder 1\\sub\\file99999.txt Differ from C:\\Folder 2");
  memo.SetLines({"No error."});
}

// A run's lines go into the text box as they come, hidden or not; shown and hidden at once (as
// Start does) leaves them, and shown it has the newest line in view with the caret at its start.
TEST(ErrorInfo, LinesOfARunReachTheTextBoxAsTheyCome) {
  EnsureForms();
  TForm2& f = *Form2;
  ui::Memo& memo = f.Memo1;
  memo.Clear();
  TextLines batch;
  batch.Append("first");
  batch.Append("second");
  memo.AppendLines(batch);
  memo.AppendLine("third");
  const std::vector<std::string> lines{"first", "second", "third"};
  EXPECT_EQ(memo.Lines(), lines);
  EXPECT_EQ(SendMessageW(memo.Handle(), EM_GETLINECOUNT, 0, 0), 3);
  f.Show();
  f.Close();
  test::Settle();
  EXPECT_EQ(memo.Lines(), lines);
  f.Show();
  test::Settle();
  memo.AppendLine("fourth");
  EXPECT_EQ(memo.Caption(), "first\r\nsecond\r\nthird\r\nfourth");
  EXPECT_EQ(memo.Caret(), (ui::TextPlace{3, 0}));
  f.Close();
  memo.SetLines({"No error."});
}

TEST(Application, MinimisingTheMainFormMinimisesTheApplication) {
  EnsureForms();
  Form1->Show();
  test::Settle();
  Form1->Minimize();
  test::Settle();
  EXPECT_TRUE(IsIconic(ui::App().Handle()));  // the taskbar button
  EXPECT_FALSE(IsWindowVisible(Form1->Handle()));
  EXPECT_TRUE(Form1->Minimized());
  // A run shows its progress window modally meanwhile.
  PBar->Show();
  EXPECT_TRUE(IsWindowVisible(PBar->Handle()));
  PBar->Hide();
  Form1->Restore();
  test::Settle();
  EXPECT_FALSE(IsIconic(ui::App().Handle()));
  EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
  EXPECT_FALSE(Form1->Minimized());
  EXPECT_FALSE(IsWindowVisible(PBar->Handle()));  // hidden before the restore: stays hidden
  Form1->Hide();
}

// The windows are reached from another thread through the queue alone: the setters that
// once posted themselves refuse any other thread. On its own thread a timer ticks until it is
// turned off, and not once in five of its intervals after that.
TEST(Application, TimersAndTheTitleBelongToTheUserInterfaceThread) {
  EnsureForms();
  ui::Timer& timer = Form1->Timer1;
  std::thread other([&] {
    EXPECT_THROW(timer.SetInterval(20), std::logic_error);
    EXPECT_THROW(timer.SetEnabled(true), std::logic_error);
    EXPECT_THROW(ui::App().SetTitle("elsewhere"), std::logic_error);
  });
  other.join();
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(ui::App().Title(), "Vemo");

  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  timer.SetInterval(20);
  timer.SetEnabled(true);
  test::PumpUntil([&] { return ticks > 2; }, "the timer's ticks");
  timer.SetEnabled(false);
  const int stoppedAt = ticks;
  static bool fiveIntervals;
  fiveIntervals = false;
  const UINT_PTR clock =
      SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { fiveIntervals = true; });
  test::PumpUntil([] { return fiveIntervals; }, "five of the timer's intervals");
  KillTimer(nullptr, clock);
  EXPECT_EQ(ticks, stoppedAt);
  timer.SetInterval(100);
  timer.OnTimer = nullptr;
}

TEST(Controls, CheckBoxFromCodeProgressBarAboveMax) {
  EnsureForms();
  ui::CheckBox& box = Form1->CheckBox3;
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetChecked(false);  // no change, no click
  EXPECT_EQ(clicks, 0);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(box.Checked());
  box.SetChecked(false);
  EXPECT_EQ(clicks, 2);
  box.OnClick = nullptr;

  // Mouse events of a drawn image; the topmost image under the mouse takes them.
  TPBar& p = *PBar;
  std::vector<std::string> events;
  p.ImFolder1.OnMouseDown = [&](ui::MouseButton b, int x, int y) {
    events.push_back("down " + std::to_string((int)b) + " " + std::to_string(x) + "," +
                     std::to_string(y));
  };
  p.ImFolder1.OnMouseUp = [&](ui::MouseButton b, int, int) {
    events.push_back("up " + std::to_string((int)b));
  };
  p.Image1.OnMouseDown = [&](ui::MouseButton, int, int) { events.push_back("walker"); };
  SendMessageW(p.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(130, 10));
  SendMessageW(p.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(400, 200));  // released elsewhere
  p.Image1.SetLeft(148);  // the walker stands on the folder's right part
  SendMessageW(p.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 10));
  SendMessageW(p.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(160, 10));
  p.Image1.SetLeft(352);
  p.ImFolder1.OnMouseDown = nullptr;
  p.ImFolder1.OnMouseUp = nullptr;
  p.Image1.OnMouseDown = nullptr;
  EXPECT_EQ(events, (std::vector<std::string>{"down 1 2,2", "up 1", "walker"}));

  ui::ProgressBar& bar = PBar->ProgressBar1;
  bar.SetMax(1024);
  bar.SetPosition(5000);
  EXPECT_EQ(bar.Position(), 5000);
  EXPECT_EQ(bar.ShownPosition(), 1024);  // a full bar
  bar.SetPosition(0);
  bar.SetMax(100);
}

}  // namespace
}  // namespace vemo
