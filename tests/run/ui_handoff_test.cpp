// The hand-over of window writes: order across threads, line batches, latest-value figures.
#include "run/ui_handoff.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/give_up.h"

namespace vemo {
namespace {

TEST(UiQueue, RunsOperationsInOrderAndMergesConsecutiveLines) {
  int wakes = 0;
  UiQueue queue([&] { ++wakes; });
  std::vector<std::string> seen;
  queue.PushLine("a");
  queue.PushLine("b");
  queue.Push([&] { seen.push_back("clear"); });
  queue.PushLine("c");
  queue.PushLine("");
  queue.PushLine("d");
  queue.Push([&] { seen.push_back("close"); });
  EXPECT_EQ(wakes, 1);  // one wake-up for the whole busy period
  queue.Drain([&](const std::vector<std::string>& lines) {
    std::string batch = "lines:";
    for (const std::string& line : lines) batch += "[" + line + "]";
    seen.push_back(batch);
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"lines:[a][b]", "clear", "lines:[c][][d]", "close"}));
  queue.PushLine("e");
  EXPECT_EQ(wakes, 2);
}

TEST(UiQueue, KeepsTheWorkersOrderWhileTheUiThreadDrainsConcurrently) {
  std::atomic<int> wakes{0};
  UiQueue queue([&] { ++wakes; });
  constexpr int kLines = 20000;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < kLines; ++i) {
      if (i % 1000 == 999)
        queue.Push([] {});
      else
        queue.PushLine(std::to_string(i));
    }
    done = true;
  });
  std::string all;
  auto write = [&](const std::vector<std::string>& lines) {
    for (const std::string& line : lines) all += line + "\r\n";
  };
  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done) {
    if (std::chrono::steady_clock::now() > until) test::GiveUp("the worker did not end its lines");
    queue.Drain(write);
  }
  worker.join();
  queue.Drain(write);
  std::string expected;
  for (int i = 0; i < kLines; ++i)
    if (i % 1000 != 999) expected += std::to_string(i) + "\r\n";
  EXPECT_EQ(all, expected);  // every line whole, none lost, none reordered
  EXPECT_LT(wakes.load(), kLines / 2);
}

TEST(UiQueue, NothingRunsAfterShutDown) {
  UiQueue queue([] {});
  int ran = 0;
  queue.Push([&] { ++ran; });
  queue.ShutDown();
  queue.Push([&] { ++ran; });
  queue.PushLine("x");
  queue.Drain([&](const std::vector<std::string>&) { ++ran; });
  EXPECT_EQ(ran, 0);
}

TEST(ProgressFigures, LatestValueWinsAndUnchangedFiguresAreNotTakenAgain) {
  ProgressFigures figures;
  ProgressSnapshot shown;
  EXPECT_FALSE(figures.TakeIfChanged(shown));
  figures.SetPanel(Panel::Panel3, "Calculating");
  for (int i = 0; i < 100; ++i) figures.SetBar(Bar::ProgressBar2, 1024, i);
  figures.SetBarPosition(Bar::ProgressBar1, 5);
  ASSERT_TRUE(figures.TakeIfChanged(shown));
  EXPECT_EQ(shown.panel[int(Panel::Panel3)], "Calculating");
  EXPECT_EQ(shown.barMax[int(Bar::ProgressBar2)], 1024);
  EXPECT_EQ(shown.barPosition[int(Bar::ProgressBar2)], 99);
  EXPECT_EQ(shown.barMax[int(Bar::ProgressBar1)], 100);  // the position alone keeps the maximum
  EXPECT_EQ(shown.barPosition[int(Bar::ProgressBar1)], 5);
  EXPECT_FALSE(figures.TakeIfChanged(shown));
}

}  // namespace
}  // namespace vemo
