// A sink that keeps what a run shows, for tests; it can also ask for a stop at a chosen call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/run_sink.h"

namespace vemo::test {

struct BarUpdate {
  Bar bar;
  int max;
  int64_t position;
};

class MemorySink : public RunSink {
 public:
  std::vector<std::string> lines;
  std::vector<std::string> panel[3];  // every caption each panel got, in order
  std::vector<BarUpdate> bars;
  int clears = 0;
  std::function<void()> onBlock;  // called at each block's update (ProgressBar2)
  std::function<void(const std::string&)> onLine;

  void AddErrorLine(std::string_view line) override {
    lines.emplace_back(line);
    if (onLine) onLine(lines.back());
  }
  void ClearLines() override {
    lines.clear();
    ++clears;
  }
  void SetPanel(Panel p, std::string_view caption) override {
    panel[static_cast<int>(p)].emplace_back(caption);
  }
  void SetBar(Bar bar, int max, int64_t position) override {
    bars.push_back({bar, max, position});
    if (bar == Bar::ProgressBar2 && onBlock) onBlock();
  }
  const std::vector<std::string>& Captions(Panel p) const { return panel[static_cast<int>(p)]; }
};

}  // namespace vemo::test
