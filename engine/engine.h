// The comparison engine: folder pair comparison, file comparison, size pre-scan, and the run
// sequence that a worker thread (or vemo-cli) wraps around them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/file_system.h"
#include "engine/messages.h"
#include "engine/name_index.h"
#include "engine/progress_format.h"
#include "engine/run_sink.h"
#include "engine/run_state.h"

namespace vemo {

// Lines of the run's endings, appended by the front end.
constexpr const char* kNoErrorLine = "No error.";
constexpr const char* kStoppedLine = "Stopped.";

// Writes the text to standard output and ends the process with status 1 at once.
[[noreturn]] void OutOfMemoryStop(const char* text);

class Engine {
 public:
  Engine(RunState& state, FileSystem& fs, RunSink& sink);

  // One folder pair (and, in a recursive run, every matched sub-folder pair below it).
  void CompareFolderPair(const std::string& folder1, const std::string& folder2);
  // Adds the file sizes of both trees to state.folderTotal.
  void PreScanFolderPair(const std::string& folder1, const std::string& folder2);

  // One error line through the sink plus one count in errorCount.
  void ReportError(Message message, std::string_view a, std::string_view b = {});

  // The run sequence without windows: reset, pre-scan (recursive) and expectedTotal, the stop
  // check, ClearLines and the second reset, the comparison. Returns true when the run
  // completed, false when it was stopped (stopRequested is left at 1 for the caller's
  // stopped ending). The caller then appends kNoErrorLine (completed, no error) and shows
  // SummaryText(), or appends kStoppedLine and clears stopRequested.
  bool Run(const std::string& folder1, const std::string& folder2);

 private:
  struct DirListing;
  enum class Kind { Files, SubFolders };

  std::string Pattern(const std::string& folder) const;
  std::string Join(const std::string& folder, std::string_view name) const;
  void ListFolder(const std::string& pattern, const std::string& folder, DirListing& listing,
                  int side);
  void StartTree(const std::string& folder1, const std::string& folder2);
  void ComparePair(const std::string& folder1, const std::string& folder2);
  void PreScanPair(const std::string& folder1, const std::string& folder2);
  void WalkEntries(const std::vector<FileEntry>& walked, const std::string& walkedPath,
                   int walkedSide, const std::vector<FileEntry>& other,
                   const std::string& otherPath, bool compare, Kind kind);
  void EnterSubFolders(const std::string& first, const std::string& second);
  void CompareFiles(const std::string& first, const std::string& second, int64_t size);
  void ShowFileProgress(int64_t readBytes, int64_t size);
  bool Stopped() const { return state_.stopRequested.load(std::memory_order_relaxed) == 1; }

  RunState& state_;
  FileSystem& fs_;
  RunSink& sink_;
  std::vector<FolderId> ancestors_[2];  // folders being walked on each side, for the loop guard
  std::vector<char> buffer1_, buffer2_;
};

}  // namespace vemo
