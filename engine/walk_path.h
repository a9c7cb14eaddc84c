// One side's place in a walk: the folders from the root down to the one being walked, as one
// growing text (what the lines show: the folder text as the user wrote it, then the names as
// the listings gave them) and as held folders, each reached by name from the one above it.
//
// A deep walk cannot hold a folder for every level (16,384 levels would be 16,384 open
// descriptors): it holds the root, the deepest kRecent levels and, further up, kPerBand levels
// in each of kBands bands of twice the width of the one below: at most kMostHeld, whatever the
// depth. A level it let go is opened again, by name, from the nearest one still held: climbing
// back up costs about one open a level. (Beyond kBands bands, more than 16,384 levels up, only
// the root is held, and a climb that far opens again from there.)
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/file_system.h"
#include "engine/held_folder.h"

namespace vemo {

class WalkPath {
 public:
  static constexpr size_t kRecent = 8;
  static constexpr size_t kPerBand = 2;
  static constexpr size_t kBands = 11;  // kRecent << kBands levels: the deepest Windows path
  static constexpr size_t kMostHeld = 1 + kRecent + kPerBand * kBands;

  // calls: where the walk's own calls go; owner: the file system that closes what it holds.
  WalkPath(FileSystem& calls, FileSystem& owner) : fs_(calls), owner_(owner) {}
  ~WalkPath() { Close(); }
  WalkPath(WalkPath&& other) = default;  // only while nothing is held
  WalkPath(const WalkPath&) = delete;
  WalkPath& operator=(const WalkPath&) = delete;

  // Starts at a folder text as the user wrote it: resolves it and opens it.
  void Start(const std::string& text);
  // Enters a sub-folder of the current folder, opened here or already (also when it failed to
  // open: then Status() says why, and the folder lists nothing).
  void Enter(std::string_view name);
  void Enter(std::string_view name, OpenedFolder opened);
  // Back to the folder above.
  void Leave();
  // Lets go of every folder it holds; the walk is over.
  void Close();
  size_t Depth() const { return levels_.size(); }

  // The current folder: how its open went, the folder itself (opened again if it was let go;
  // none when that fails), its handle, its text.
  ListStatus Status() const { return levels_.back().status; }
  OpenedFolder Opened();
  SharedFolder Current();
  FolderHandle Handle() { return HandleOf(Current()); }
  // Whether the current folder is physically one of the folders above it (a junction or a
  // link that loops).
  bool IsLoop();
  std::string_view Text() const { return std::string_view(text_).substr(0, levels_.back().end); }
  // The text of a name in the current folder; valid until the walk moves.
  std::string_view Joined(std::string_view name);

  // Levels holding their folder now (tests).
  size_t Held() const { return held_.size(); }

 private:
  struct Level {
    size_t nameStart = 0, end = 0;  // the level's name in text_, and where its text ends
    SharedFolder folder;
    ListStatus status = ListStatus::Ok;
    FolderId id;  // its cheap identity (unknown when it did not open)
  };
  std::string_view Name(const Level& level) const {
    return std::string_view(text_).substr(level.nameStart, level.end - level.nameStart);
  }
  // Appends a name to the text of the current folder, with a separator where one is needed.
  void AppendName(std::string_view name);
  void Push(Level level);
  SharedFolder At(size_t index);
  FolderId ExactId(size_t index);
  // Whether level `index` keeps its folder while the walk is `depth` levels deep.
  static bool Keeps(size_t index, size_t depth);
  void LetGoFarLevels();

  FileSystem& fs_;
  FileSystem& owner_;
  std::string text_;  // the current folder's text, and after it scratch for Joined
  std::vector<Level> levels_;
  std::vector<size_t> held_;  // the levels that hold their folder, shallowest first
  // How many levels have each cheap identity, so that a loop costs no scan of the levels.
  static uint64_t Key(const FolderId& id) {
    return id.volume * 0x9E3779B97F4A7C15ull ^ id.low ^ id.high * 31;
  }
  std::unordered_map<uint64_t, int> seen_;
};

}  // namespace vemo
