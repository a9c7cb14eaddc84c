// The comparison engine: folder pair comparison, file comparison, size pre-scan, and the run
// sequence that a worker thread (or vemo-cli) wraps around them.
#pragma once

#include <chrono>
#include <string>

#include "engine/file_system.h"
#include "engine/messages.h"
#include "engine/out_of_memory.h"
#include "engine/progress_format.h"
#include "engine/run_sink.h"
#include "engine/run_state.h"

namespace vemo {

// Lines of the run's endings, appended by the front end.
constexpr const char* kNoErrorLine = "No error.";
constexpr const char* kStoppedLine = "Stopped.";

// How long a stop lets a walk that waits in a call to the drive finish that call before the run
// ends without it (the call may never return: a share that stopped answering).
constexpr std::chrono::milliseconds kStopGrace(200);

class Engine {
 public:
  // The file system must outlive what a stop leaves behind: see file_system.h.
  Engine(RunState& state, FileSystem& fs, RunSink& sink);

  // One folder pair, and in a recursive run every matched sub-folder pair below it, from the
  // folder texts as the user wrote them (folder_walk.h).
  void CompareFolderPair(const std::string& folder1, const std::string& folder2);
  // Adds the file sizes of both trees to state.folderTotal.
  void PreScanFolderPair(const std::string& folder1, const std::string& folder2);

  // The run sequence without windows: reset, pre-scan (recursive) and expectedTotal, the stop
  // check, ClearLines and the second reset, the comparison. stopRequested is the caller's to
  // clear before the run: a stop that comes while the run starts is never lost. Returns true when
  // the run completed, false when it was stopped (stopRequested is left at 1 for the caller's
  // stopped ending). The caller then appends kNoErrorLine (completed, no error) and shows
  // SummaryText(), or appends kStoppedLine and clears stopRequested. A stop ends the run within
  // kStopGrace even where a call to the drive does not return.
  bool Run(const std::string& folder1, const std::string& folder2);

 private:
  void Walk(bool preScan, const std::string& folder1, const std::string& folder2);

  RunState& state_;
  FileSystem& fs_;
  RunSink& sink_;
};

}  // namespace vemo
