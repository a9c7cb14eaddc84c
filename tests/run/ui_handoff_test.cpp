// The hand-over of window writes: order across threads, line batches, latest-value figures.
#include "run/ui_handoff.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/give_up.h"

namespace vemo {
namespace {

// The UI thread's queue as a test sees it: posts are kept, and run when the test says so.
class FakeUiThread {
 public:
  OrderedWrites::Post Poster() {
    return [this](OrderedWrites::Op op) {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(std::move(op));
      ++posts_;
    };
  }
  // Runs what is queued, in order; false when nothing was.
  bool RunQueued() {
    std::deque<OrderedWrites::Op> ops;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ops.swap(queue_);
    }
    for (auto& op : ops) op();
    return !ops.empty();
  }
  int Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
  }

 private:
  std::mutex mutex_;
  std::deque<OrderedWrites::Op> queue_;
  int posts_ = 0;
};

std::string Joined(const TextLines& lines) {
  std::string batch = "lines:";
  for (size_t i = 0; i < lines.Count(); ++i) batch.append("[").append(lines[i]).append("]");
  return batch;
}

// A batch keeps every line whole across its blocks: empty lines, lines that fill a block to
// its last byte, one longer than any block, and lines after each; a batch moved from takes
// new lines too.
TEST(TextLines, KeepsEveryLineWholeAcrossBlocks) {
  const std::vector<std::string> lines{
      "", "a",    std::string(4095, 'b'), std::string(4096, 'c'), std::string(3 << 20, 'd'),
      "", "after"};
  TextLines batch;
  for (int round = 0; round < 3; ++round)
    for (const std::string& line : lines) batch.Append(line);
  ASSERT_EQ(batch.Count(), 3 * lines.size());
  for (size_t i = 0; i < batch.Count(); ++i)
    ASSERT_EQ(batch[i], lines[i % lines.size()]) << "line " << i;
  TextLines moved = std::move(batch);
  batch.Append("again");
  EXPECT_EQ(batch[batch.Count() - 1], "again");
  EXPECT_EQ(moved[1], "a");
}

TEST(OrderedWrites, RunsOperationsInOrderWithConsecutiveLinesInOneBatch) {
  FakeUiThread ui;
  std::vector<std::string> seen;
  OrderedWrites writes(ui.Poster(), [&](const auto& lines) { seen.push_back(Joined(lines)); });
  writes.PushLine("a");
  writes.PushLine("b");
  writes.Push([&] { seen.push_back("clear"); });
  writes.PushLine("c");
  writes.PushLine("");
  writes.PushLine("d");
  writes.Push([&] { seen.push_back("close"); });
  EXPECT_EQ(ui.Posts(), 2);   // one pump for the first lines, one for the first operation
  EXPECT_TRUE(seen.empty());  // nothing runs on the pushing thread
  ui.RunQueued();
  EXPECT_EQ(seen, (std::vector<std::string>{"lines:[a][b]", "clear", "lines:[c][][d]", "close"}));
}

TEST(OrderedWrites, ALineAfterItsBatchWasWrittenStartsANewOne) {
  FakeUiThread ui;
  std::vector<std::string> seen;
  OrderedWrites writes(ui.Poster(), [&](const auto& lines) { seen.push_back(Joined(lines)); });
  writes.PushLine("a");
  ui.RunQueued();
  writes.PushLine("b");  // the first batch is gone: this one must be posted anew
  writes.PushLine("c");
  ui.RunQueued();
  EXPECT_EQ(seen, (std::vector<std::string>{"lines:[a]", "lines:[b][c]"}));
  EXPECT_EQ(ui.Posts(), 2);
}

TEST(OrderedWrites, KeepsTheWorkersOrderWhileTheUiThreadRunsConcurrently) {
  FakeUiThread ui;
  std::string all;
  int operations = 0;
  OrderedWrites writes(ui.Poster(), [&](const auto& lines) {
    for (size_t i = 0; i < lines.Count(); ++i) all.append(lines[i]).append("\r\n");
  });
  constexpr int kLines = 20000;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < kLines; ++i) {
      if (i % 1000 == 999)
        writes.Push([&all, &operations] {
          all += "op\r\n";
          ++operations;
        });
      else
        writes.PushLine(std::to_string(i));
    }
    done = true;
  });
  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done) {
    if (std::chrono::steady_clock::now() > until) test::GiveUp("the worker did not end its lines");
    ui.RunQueued();
  }
  worker.join();
  ui.RunQueued();
  std::string expected;
  for (int i = 0; i < kLines; ++i)
    expected += (i % 1000 == 999 ? "op" : std::to_string(i)) + "\r\n";
  EXPECT_EQ(all, expected);  // every line whole, none lost, none reordered
  EXPECT_EQ(operations, kLines / 1000);
  EXPECT_LT(ui.Posts(), kLines / 2);
}

TEST(OrderedWrites, NothingRunsAfterShutDownNotEvenWhatWasQueued) {
  FakeUiThread ui;
  int ran = 0;
  OrderedWrites writes(ui.Poster(), [&](const auto&) { ++ran; });
  writes.Push([&] { ++ran; });
  writes.PushLine("queued before the shutdown");
  writes.ShutDown();
  writes.Push([&] { ++ran; });
  writes.PushLine("x");
  ui.RunQueued();
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(ui.Posts(), 1);
}

// Lines alone take the slower lane (in the program: after the UI thread's input and paint); an
// operation takes the lines before it along on the fast lane, in order.
TEST(OrderedWrites, LinesTakeTheSlowerLaneAndAnOperationTakesThemAlong) {
  FakeUiThread fast, slow;
  std::vector<std::string> seen;
  OrderedWrites writes(
      fast.Poster(), [&](const auto& lines) { seen.push_back(Joined(lines)); }, slow.Poster());
  writes.PushLine("a");
  writes.PushLine("b");
  EXPECT_EQ(fast.Posts(), 0);
  EXPECT_EQ(slow.Posts(), 1);
  writes.Push([&] { seen.push_back("close"); });
  EXPECT_EQ(fast.Posts(), 1);
  fast.RunQueued();
  EXPECT_EQ(seen, (std::vector<std::string>{"lines:[a][b]", "close"}));
  slow.RunQueued();  // finds nothing left
  EXPECT_EQ(seen.size(), 2u);
}

// A pump runs what waited when it began: lines that keep coming meanwhile wait for the next
// one, so a worker that never pauses never keeps the UI thread in one pump.
TEST(OrderedWrites, APumpRunsOnlyWhatWaitedWhenItBegan) {
  FakeUiThread ui;
  std::vector<std::string> seen;
  OrderedWrites* self = nullptr;
  int more = 3;
  OrderedWrites writes(ui.Poster(), [&](const auto& lines) {
    seen.push_back(Joined(lines));
    if (more-- > 0) self->PushLine("more");  // the worker goes on meanwhile
  });
  self = &writes;
  writes.PushLine("first");
  EXPECT_TRUE(ui.RunQueued());
  EXPECT_EQ(seen, (std::vector<std::string>{"lines:[first]"}));
  EXPECT_EQ(ui.Posts(), 2);  // the line pushed during the pump asked for the next one
  while (ui.RunQueued()) {
  }
  EXPECT_EQ(seen.size(), 4u);
}

// An operation may run a nested message loop (a modal window), where a later pump runs: it
// goes on with the entries after that operation, and the outer pump repeats none of them.
TEST(OrderedWrites, APumpInsideAnOperationGoesOnInOrder) {
  FakeUiThread ui;
  std::vector<std::string> seen;
  OrderedWrites* self = nullptr;
  OrderedWrites writes(ui.Poster(), [&](const auto& lines) { seen.push_back(Joined(lines)); });
  self = &writes;
  writes.Push([&] {
    seen.push_back("modal");
    self->Pump();  // the nested loop
  });
  writes.PushLine("x");
  writes.Push([&] { seen.push_back("after"); });
  ui.RunQueued();
  EXPECT_EQ(seen, (std::vector<std::string>{"modal", "lines:[x]", "after"}));
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
