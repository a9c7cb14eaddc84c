// The comparison engine: folder pair comparison, file comparison, size pre-scan, and the run
// sequence that a worker thread (or vemo-cli) wraps around them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/file_system.h"
#include "engine/list_ahead.h"
#include "engine/messages.h"
#include "engine/name_index.h"
#include "engine/progress_format.h"
#include "engine/read_ahead.h"
#include "engine/run_sink.h"
#include "engine/run_state.h"
#include "engine/walk_path.h"

namespace vemo {

// Lines of the run's endings, appended by the front end.
constexpr const char* kNoErrorLine = "No error.";
constexpr const char* kStoppedLine = "Stopped.";

// Writes the text to standard output and ends the process with status 1 at once.
[[noreturn]] void OutOfMemoryStop(const char* text);

// What a listing does with one entry: a name that begins with a full stop ("." and ".."
// included) is skipped whatever it is; otherwise folders are sub-folders and the rest files.
enum class EntryClass { File, SubFolder, Skipped };
EntryClass ClassifyEntry(std::string_view name, bool isFolder);

class Engine {
 public:
  Engine(RunState& state, FileSystem& fs, RunSink& sink);

  // One folder pair, and in a recursive run every matched sub-folder pair below it, from the
  // folder texts as the user wrote them. The walk runs on the walk stack (walk_stack.h) and
  // holds each side's folders open while it is in them (walk_path.h).
  void CompareFolderPair(const std::string& folder1, const std::string& folder2);
  // Adds the file sizes of both trees to state.folderTotal; also on the walk stack.
  void PreScanFolderPair(const std::string& folder1, const std::string& folder2);

  // One error line through the sink plus one count in errorCount.
  void ReportError(Message message, std::string_view a, std::string_view b = {});

  // The run sequence without windows: reset, pre-scan (recursive) and expectedTotal, the stop
  // check, ClearLines and the second reset, the comparison. stopRequested is the caller's to
  // clear before the run: a stop that comes while the run starts is never lost. Returns true when
  // the run completed, false when it was stopped (stopRequested is left at 1 for the caller's
  // stopped ending). The caller then appends kNoErrorLine (completed, no error) and shows
  // SummaryText(), or appends kStoppedLine and clears stopRequested.
  bool Run(const std::string& folder1, const std::string& folder2);

 private:
  enum class Kind { Files, SubFolders };

  std::string Pattern(int side);  // the current folder's search pattern, shown
  // Starts both sides at the folder texts, lists both at once as the step lists them, and runs
  // the step from there, on the walk stack.
  void WalkFromTexts(const std::string& folder1, const std::string& folder2,
                     void (Engine::*step)(ListAhead::Side*), bool keepFiles, bool wantSizes);

  // The recursive steps, each on the current folder of both sides (as listed ahead, where it
  // was).
  void CompareFolderPair(ListAhead::Side* ahead = nullptr);
  void PreScanFolderPair(ListAhead::Side* ahead = nullptr);
  // Lists the current folder of a side (or takes its listing ahead) and adds its file sizes to
  // the side's total; the pre-scan keeps no files, only their sizes.
  void ListFolder(int side, FolderListing& listing, bool keepFiles, bool wantSizes,
                  ListAhead::Side* ahead);
  void WalkEntries(const std::vector<FileEntry>& walked, int walkedSide,
                   const std::vector<FileEntry>& other, bool compare, Kind kind);
  // The comparing walk of a folder's files, its pairs read ahead.
  void CompareWalk(const std::vector<FileEntry>& walked, int walkedSide, const NameIndex& index);
  // The entering walk of a folder's sub-folders, their pairs listed ahead.
  void EnterWalk(const std::vector<FileEntry>& walked, int walkedSide, const NameIndex& index,
                 bool compare);
  void FindCounterpart(const FileEntry& entry, int walkedSide, const FileEntry* counterpart,
                       bool compare, Kind kind, ListAhead::Job* job = nullptr);
  // Enters a sub-folder pair (the one listed ahead as `job`, where there is one: taken) and
  // walks it.
  void EnterSubFolders(std::string_view name1, std::string_view name2, ListAhead::Job*& job);
  void CompareFiles(std::string_view name1, std::string_view name2, int64_t size);
  void ShowFileProgress(int64_t readBytes, int64_t size);
  // A recursive run took its totals in the pre-scan: its comparison's listings need no sizes,
  // and a file's own length comes with its open.
  bool CompareWantsSizes() const { return state_.recursive != 1; }
  bool Stopped() const { return state_.stopRequested.load(std::memory_order_relaxed) == 1; }

  RunState& state_;
  FileSystem& fs_;
  RunSink& sink_;
  WalkPath walk_[2];  // where each side's walk is, with its loop guard
  ReadAhead readAhead_;
  ListAhead listAhead_;
};

}  // namespace vemo
