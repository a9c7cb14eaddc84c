// vemo-cli's sink: the lines to standard output, the progress to a terminal on standard error.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "engine/run_sink.h"
#include "engine/run_state.h"

namespace vemo {

// Appends text with its control characters (below 0x20, and 0x7F) written as escapes ("\n",
// "\r", "\t", "\x1b"), so that a name holding a line break cannot split a finding over two
// lines of output.
void AppendEscaped(std::string& to, std::string_view text);

class ConsoleSink : public RunSink {
 public:
  // progress: show a one-line progress display on `err` (only when it is a terminal);
  // escapes: the terminal understands "\033[K" (else the line is blanked with spaces).
  ConsoleSink(std::FILE* out, std::FILE* err, bool progress, const RunState& state,
              bool escapes = true);
  ~ConsoleSink() override;

  // Lines before the first ClearLines() are held back (a clear would take them away again);
  // after it they are written as they come.
  void AddErrorLine(std::string_view line) override;
  void ClearLines() override;
  void SetPanel(Panel panel, std::string_view caption) override;
  void SetBar(Bar bar, int max, int64_t position) override;

  // Writes every line held back and whatever is buffered; ends the progress display.
  void Flush();

 private:
  void ShowProgress();
  void EndProgressLine();

  std::FILE* out_;
  std::FILE* err_;
  bool progress_;
  const RunState& state_;
  bool escapes_;
  size_t shownWidth_ = 0;  // characters of the progress line on screen (no escapes)
  bool streaming_ = false;
  std::string held_;    // lines not yet known to stay
  std::string buffer_;  // lines on their way to out_
  std::string file_, fileSize_, runSize_;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace vemo
