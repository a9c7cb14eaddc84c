// Where a run shows what it does: the Error Information lines and the progress window's figures.
#pragma once

#include <cstdint>
#include <string_view>

namespace vemo {

// The three captions of the progress window.
enum class Panel {
  Panel1,  // current file's path, or the run's status text
  Panel2,  // size text of the current file
  Panel3,  // size text of the whole run
};

// The two progress bars of the progress window.
enum class Bar {
  ProgressBar1,  // the current file
  ProgressBar2,  // the whole run
};

// Implemented by the GUI on the progress and Error Information windows, by vemo-cli on the
// console, by tests in memory. All calls come from the one thread that runs the engine.
//
// What the engine guarantees (per run, in program order):
//  - AddErrorLine() gets each error line whole, in the order the lines belong in the window;
//    ClearLines() (called by the run sequence only) comes between the pre-scan and the comparison.
//  - The pre-scan calls SetPanel(Panel3) once per folder pair it enters.
//  - For each file pair that opens: SetPanel(Panel1, first path) once, then per 10,240-byte block,
//    before reading it: SetBar(ProgressBar2), SetPanel(Panel3), SetBar(ProgressBar1),
//    SetPanel(Panel2), in that order (the title text goes to RunState::titleText in between).
//    These per-block calls are ~100,000 per GiB: keep them cheap (store the latest value, repaint
//    at a bounded rate). Only lines, clears and the captions of the run's start and endings
//    need to keep their order; a progress figure may be overtaken by a later one.
//  - The text views are valid only during the call; copy what you keep.
class RunSink {
 public:
  virtual ~RunSink() = default;
  virtual void AddErrorLine(std::string_view line) = 0;
  virtual void ClearLines() = 0;
  virtual void SetPanel(Panel panel, std::string_view caption) = 0;
  // Sets the bar's maximum (minimum is always 0), then its position; a position above the
  // maximum shows a full bar.
  virtual void SetBar(Bar bar, int max, int64_t position) = 0;
};

}  // namespace vemo
