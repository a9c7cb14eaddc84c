// One side's place in a walk: the folders from the root down to the one being walked, as one
// growing text (what the lines show: the folder text as the user wrote it, then the names as
// the listings gave them) and as open folders, each reached by name from the one above it.
//
// A deep walk cannot hold a handle for every level (16,384 levels would be 16,384 open
// descriptors): it holds the root, the deepest kRecent levels and, further up, fewer the further
// they are (every second level, then every fourth, ...), at most a few hundred. A level whose
// handle was let go is opened again, by name, from the nearest one still held.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/file_system.h"

namespace vemo {

// A folder as its open left it: its handle (kNoFolder when the open failed), how the open went,
// and its cheap identity (unknown when it did not open).
struct OpenedFolder {
  FolderHandle handle = kNoFolder;
  ListStatus status = ListStatus::Ok;
  FolderId id;
};
// Opens a folder by name in an open one, as a walk enters it; any thread.
OpenedFolder OpenSubFolder(FileSystem& fs, FolderHandle parent, std::string_view name);

class WalkPath {
 public:
  static constexpr size_t kRecent = 32;

  explicit WalkPath(FileSystem& fs) : fs_(fs) {}
  ~WalkPath() { Close(); }
  WalkPath(WalkPath&& other) = default;  // only while nothing is open
  WalkPath(const WalkPath&) = delete;
  WalkPath& operator=(const WalkPath&) = delete;

  // Starts at a folder text as the user wrote it: resolves it and opens it.
  void Start(const std::string& text);
  // Opens a sub-folder of the current folder and makes it the current one (also when it fails
  // to open: then Status() says why, and the folder lists nothing).
  void Enter(std::string_view name);
  // The same for a sub-folder already opened (by OpenSubFolder on the current folder's
  // handle): the walk takes over its handle.
  void Enter(std::string_view name, const OpenedFolder& opened);
  // Back to the folder above.
  void Leave();
  // Keeps the current folder's handle open, however deep the walk goes, until as many Unpin
  // calls have come back to it: what is opened by name from it meanwhile needs it.
  void Pin() { ++levels_.back().pins; }
  void Unpin() { --levels_.back().pins; }
  // Closes every folder it holds; the walk is over.
  void Close();
  size_t Depth() const { return levels_.size(); }

  // The current folder: how its open went, its handle (opened again if it was let go), its
  // text.
  ListStatus Status() const { return levels_.back().status; }
  FolderHandle Handle();
  // Whether the current folder is physically one of the folders above it (a junction or a
  // link that loops).
  bool IsLoop();
  std::string_view Text() const { return std::string_view(text_).substr(0, levels_.back().end); }
  // The text of a name in the current folder; valid until the walk moves.
  std::string_view Joined(std::string_view name);

  // Open handles held now (tests).
  size_t Held() const { return held_.size(); }

 private:
  struct Level {
    size_t nameStart = 0, end = 0;  // the level's name in text_, and where its text ends
    FolderHandle handle = kNoFolder;
    ListStatus status = ListStatus::Ok;
    FolderId id;  // its cheap identity (unknown when it did not open)
    int pins = 0;
  };
  std::string_view Name(const Level& level) const {
    return std::string_view(text_).substr(level.nameStart, level.end - level.nameStart);
  }
  // Appends a name to the text of the current folder, with a separator where one is needed.
  void AppendName(std::string_view name);
  void Push(const Level& level);
  FolderHandle HandleAt(size_t index);
  FolderId ExactId(size_t index);
  // Whether level `index` keeps its handle while the walk is `depth` levels deep.
  bool Keeps(size_t index, size_t depth) const;
  void LetGoFarLevels();

  FileSystem& fs_;
  std::string text_;  // the current folder's text, and after it scratch for Joined
  std::vector<Level> levels_;
  std::vector<size_t> held_;  // the levels that hold a handle, shallowest first
  // How many levels have each cheap identity, so that a loop costs no scan of the levels.
  static uint64_t Key(const FolderId& id) {
    return id.volume * 0x9E3779B97F4A7C15ull ^ id.low ^ id.high * 31;
  }
  std::unordered_map<uint64_t, int> seen_;
};

}  // namespace vemo
