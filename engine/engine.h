// The comparison engine: folder pair comparison, file comparison, size pre-scan, and the run
// sequence that a worker thread (or vemo-cli) wraps around them.
#pragma once

#include <functional>
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

// What a listing does with one entry: a name that begins with a full stop ("." and ".."
// included) is skipped whatever it is; otherwise folders are sub-folders and the rest files.
enum class EntryClass { File, SubFolder, Skipped };
EntryClass ClassifyEntry(std::string_view name, bool isFolder);

// A folder or file as a walk reaches it.
struct FolderPath {
  std::string text;    // the folder text as the user wrote it, names joined below: what lines show
  std::string system;  // the same place as the file system is handed it (resolved once)
};

class Engine {
 public:
  Engine(RunState& state, FileSystem& fs, RunSink& sink);

  // One folder pair, and in a recursive run every matched sub-folder pair below it, from the
  // folder texts as the user wrote them. The walk runs on the walk stack (walk_stack.h).
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
  struct DirListing;
  enum class Kind { Files, SubFolders };

  FolderPath Root(const std::string& text) const;
  FolderPath Join(const FolderPath& folder, std::string_view name) const;
  std::string JoinText(const std::string& folder, std::string_view name) const;
  std::string Pattern(const FolderPath& folder) const;  // the folder's search pattern, shown
  void StartTree(const FolderPath& folder1, const FolderPath& folder2);
  // Resolves both texts and runs a step from the two roots, on the walk stack.
  void WalkFromTexts(const std::string& folder1, const std::string& folder2,
                     const std::function<void(const FolderPath&, const FolderPath&)>& step);

  // The recursive steps, each on resolved paths.
  void CompareFolderPair(const FolderPath& folder1, const FolderPath& folder2);
  void PreScanFolderPair(const FolderPath& folder1, const FolderPath& folder2);
  void ListFolder(const FolderPath& folder, DirListing& listing, int side);
  void WalkEntries(const std::vector<FileEntry>& walked, const FolderPath& walkedFolder,
                   int walkedSide, const std::vector<FileEntry>& other,
                   const FolderPath& otherFolder, bool compare, Kind kind);
  void FindCounterpart(const FileEntry& entry, const FolderPath& walkedFolder, int walkedSide,
                       const NameIndex& other, const FolderPath& otherFolder, bool compare,
                       Kind kind);
  void EnterSubFolders(const FolderPath& first, const FolderPath& second);
  void CompareFiles(const FolderPath& first, const FolderPath& second, int64_t size);
  void ShowFileProgress(int64_t readBytes, int64_t size);
  bool Stopped() const { return state_.stopRequested.load(std::memory_order_relaxed) == 1; }

  RunState& state_;
  FileSystem& fs_;
  RunSink& sink_;
  std::vector<FolderId> ancestors_[2];  // folders being walked on each side, for the loop guard
  std::vector<char> buffer1_, buffer2_;
};

}  // namespace vemo
