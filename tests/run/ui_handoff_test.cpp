// The hand-over of window writes: order across threads, line batches, latest-value figures.
#include "run/ui_handoff.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace vemo {
namespace {

TEST(UiQueue, RunsOperationsInOrderAndMergesConsecutiveLines) {
  int wakes = 0;
  UiQueue queue([&] { ++wakes; });
  std::vector<std::string> seen;
  queue.pushLine("a");
  queue.pushLine("b");
  queue.push([&] { seen.push_back("clear"); });
  queue.pushLine("c");
  queue.pushLine("");
  queue.pushLine("d");
  queue.push([&] { seen.push_back("close"); });
  EXPECT_EQ(wakes, 1);  // one wake-up for the whole busy period
  queue.drain([&](const std::vector<std::string>& lines) {
    std::string batch = "lines:";
    for (const std::string& line : lines) batch += "[" + line + "]";
    seen.push_back(batch);
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"lines:[a][b]", "clear", "lines:[c][][d]", "close"}));
  queue.pushLine("e");
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
        queue.push([] {});
      else
        queue.pushLine(std::to_string(i));
    }
    done = true;
  });
  std::string all;
  auto write = [&](const std::vector<std::string>& lines) {
    for (const std::string& line : lines) all += line + "\r\n";
  };
  while (!done) queue.drain(write);
  worker.join();
  queue.drain(write);
  std::string expected;
  for (int i = 0; i < kLines; ++i)
    if (i % 1000 != 999) expected += std::to_string(i) + "\r\n";
  EXPECT_EQ(all, expected);  // every line whole, none lost, none reordered
  EXPECT_LT(wakes.load(), kLines / 2);
}

TEST(UiQueue, NothingRunsAfterShutDown) {
  UiQueue queue([] {});
  int ran = 0;
  queue.push([&] { ++ran; });
  queue.shutDown();
  queue.push([&] { ++ran; });
  queue.pushLine("x");
  queue.drain([&](const std::vector<std::string>&) { ++ran; });
  EXPECT_EQ(ran, 0);
}

TEST(ProgressFigures, LatestValueWinsAndUnchangedFiguresAreNotTakenAgain) {
  ProgressFigures figures;
  ProgressSnapshot shown;
  EXPECT_FALSE(figures.takeIfChanged(shown));
  figures.setPanel(Panel::Panel3, "Calculating");
  for (int i = 0; i < 100; ++i) figures.setBar(Bar::ProgressBar2, 1024, i);
  figures.setBarPosition(Bar::ProgressBar1, 5);
  ASSERT_TRUE(figures.takeIfChanged(shown));
  EXPECT_EQ(shown.panel[int(Panel::Panel3)], "Calculating");
  EXPECT_EQ(shown.barMax[int(Bar::ProgressBar2)], 1024);
  EXPECT_EQ(shown.barPosition[int(Bar::ProgressBar2)], 99);
  EXPECT_EQ(shown.barMax[int(Bar::ProgressBar1)], 100);  // the position alone keeps the maximum
  EXPECT_EQ(shown.barPosition[int(Bar::ProgressBar1)], 5);
  EXPECT_FALSE(figures.takeIfChanged(shown));
}

}  // namespace
}  // namespace vemo
