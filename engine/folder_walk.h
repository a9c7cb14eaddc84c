// One walk of a run, the pre-scan or the comparison, from the two folder texts down through
// every matched sub-folder pair, depth first, reporting each finding in its place. It runs on
// the walk stack (walk_stack.h); its calls to the drive pass its gate, so that a stop can give it
// up in a call that does not return, and the look-ahead does what it will need next.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/call_gate.h"
#include "engine/look_ahead.h"
#include "engine/messages.h"
#include "engine/run_sink.h"
#include "engine/run_state.h"
#include "engine/walk_path.h"

namespace vemo {

// Folders and files a walk holds open at the most, whatever the tree: each side's path, what the
// look-ahead holds, and the pair the walk compares or opens itself. Below 256 (the smallest
// limit on open descriptors a system sets), with room for the program's own.
constexpr size_t kMostOpenAtOnce = 2 * WalkPath::kMostHeld + LookAhead::kMostOpen + 4;
static_assert(kMostOpenAtOnce <= 224, "a walk fits under a limit of 256 descriptors");

class FolderWalk {
 public:
  FolderWalk(RunState& state, FileSystem& fs, RunSink& sink, bool preScan);
  FolderWalk(const FolderWalk&) = delete;
  FolderWalk& operator=(const FolderWalk&) = delete;

  // The whole walk, on the walk's own thread. Once given up it unwinds without a word.
  void Run(const std::string& folder1, const std::string& folder2);
  // From the caller: gives the walk up where it waits in a call to the drive (true), so that
  // nothing of it reaches the run again; a walk at work is left to see the stop itself.
  bool GiveUp();

 private:
  using Node = LookAhead::Node;
  enum class Kind { Files, SubFolders };

  // The step of one folder pair, listed: its listings taken in the walk's order, then its walks.
  void FolderPair(Node& node);
  void TakeListing(const Node& node, int side);
  // The comparison's first walk (files of Folder 2 against Folder 1), and the walk that enters
  // sub-folders (the comparison's third, the pre-scan's only one): lookups made ahead, pairs
  // taken from the look-ahead in their order.
  void CompareWalk(Node& node);
  void EnterWalk(Node& node, int walkedSide);
  // A walk that only reports entries without counterpart (the comparison's second and fourth).
  void ReportWalk(const std::vector<FileEntry>& walked, int walkedSide,
                  const std::vector<FileEntry>& other, Kind kind);
  // What an entry without a pair to act on gives: a line, or nothing.
  void FindCounterpart(const FileEntry& entry, int walkedSide, const FileEntry* counterpart,
                       bool compare, Kind kind);
  void EnterSubFolders(std::string_view name1, std::string_view name2, LookAhead::JobRef job);
  void CompareFiles(std::string_view name1, std::string_view name2, int64_t size,
                    const LookAhead::JobRef& job);
  void ShowFileProgress(int64_t readBytes, int64_t size);
  void ReportError(Message message, std::string_view a, std::string_view b = {});
  std::string Pattern(int side);  // the current folder's search pattern, shown
  bool Stopped() const { return state_.stopRequested.load(std::memory_order_relaxed) == 1; }

  RunState& state_;
  RunSink& sink_;
  const bool preScan_;
  CallGate gate_;
  GatedFileSystem fs_;  // the walk's own calls
  WalkPath walk_[2];    // where each side's walk is, with its loop guard
  LookAhead ahead_;
  std::unique_ptr<char[]> own_[2];  // where the walk reads what was not read ahead
};

}  // namespace vemo
