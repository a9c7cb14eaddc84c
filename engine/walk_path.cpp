#include "engine/walk_path.h"

#include <algorithm>

namespace vemo {

void WalkPath::Close() {
  for (size_t index : held_) fs_.CloseFolder(levels_[index].handle);
  held_.clear();
  levels_.clear();
  seen_.clear();
  text_.clear();
}

void WalkPath::Start(const std::string& text) {
  Close();
  text_ = text;
  Level root;
  root.end = text_.size();
  // A text that names no folder at all is listed as a missing one.
  const std::string resolved = fs_.ResolveFolder(text);
  root.status =
      resolved.empty() ? ListStatus::NotFound : fs_.OpenFolder(kNoFolder, resolved, root.handle);
  if (root.handle != kNoFolder) root.id = fs_.IdentifyFolder(root.handle);
  Push(root);
  if (root.handle != kNoFolder) held_.push_back(0);
}

void WalkPath::AppendName(std::string_view name) {
  text_.resize(levels_.back().end);
  if (!fs_.EndsInSeparator(text_)) text_ += fs_.Separator();
  text_ += name;
}

std::string_view WalkPath::Joined(std::string_view name) {
  AppendName(name);
  return text_;
}

OpenedFolder OpenSubFolder(FileSystem& fs, FolderHandle parent, std::string_view name) {
  OpenedFolder opened;
  if (parent == kNoFolder)
    opened.status = ListStatus::OtherError;  // the folder above has gone meanwhile
  else
    opened.status = fs.OpenFolder(parent, name, opened.handle);
  if (opened.handle != kNoFolder) opened.id = fs.IdentifyFolder(opened.handle);
  return opened;
}

void WalkPath::Enter(std::string_view name) { Enter(name, OpenSubFolder(fs_, Handle(), name)); }

void WalkPath::Enter(std::string_view name, const OpenedFolder& opened) {
  AppendName(name);
  Level level;
  level.end = text_.size();
  level.nameStart = level.end - name.size();
  level.handle = opened.handle;
  level.status = opened.status;
  level.id = opened.id;
  Push(level);
  if (level.handle != kNoFolder) held_.push_back(levels_.size() - 1);
  LetGoFarLevels();
}

void WalkPath::Leave() {
  const size_t index = levels_.size() - 1;
  if (!held_.empty() && held_.back() == index) {
    fs_.CloseFolder(levels_[index].handle);
    held_.pop_back();
  }
  if (levels_.back().id.known) --seen_[Key(levels_.back().id)];
  levels_.pop_back();
}

void WalkPath::Push(const Level& level) {
  levels_.push_back(level);
  if (level.id.known) ++seen_[Key(level.id)];
}

bool WalkPath::Keeps(size_t index, size_t depth) const {
  if (index == 0 || levels_[index].pins > 0) return true;
  const size_t distance = depth - 1 - index;
  if (distance < kRecent) return true;
  // Every second level in the first band beyond the recent ones, every fourth in the next band
  // of twice the width, and so on: about kRecent / 2 handles per band.
  size_t spacing = 2;
  for (size_t band = 2 * kRecent; distance >= band; band *= 2) spacing *= 2;
  return index % spacing == 0;
}

void WalkPath::LetGoFarLevels() {
  const size_t depth = levels_.size();
  size_t kept = 0;
  for (size_t index : held_) {
    if (Keeps(index, depth)) {
      held_[kept++] = index;
    } else {
      fs_.CloseFolder(levels_[index].handle);
      levels_[index].handle = kNoFolder;
    }
  }
  held_.resize(kept);
}

bool WalkPath::IsLoop() {
  const size_t current = levels_.size() - 1;
  const FolderId& id = levels_[current].id;
  if (!id.known || seen_[Key(id)] < 2) return false;  // no folder above has its identity
  for (size_t index = 0; index < current; ++index) {
    // Cheap identities that differ settle it; equal ones are asked again in full.
    if (levels_[index].id == levels_[current].id && ExactId(index) == ExactId(current)) return true;
  }
  return false;
}

FolderId WalkPath::ExactId(size_t index) {
  const FolderHandle handle = HandleAt(index);
  return handle == kNoFolder ? FolderId{} : fs_.ExactFolderId(handle);
}

FolderHandle WalkPath::Handle() { return HandleAt(levels_.size() - 1); }

FolderHandle WalkPath::HandleAt(size_t current) {
  if (levels_[current].handle != kNoFolder || levels_[current].status != ListStatus::Ok)
    return levels_[current].handle;
  // Let go while the walk was deeper: opened again, level by level, from the nearest ancestor
  // still held (the root always is). Only the current level is asked for by the walk; one
  // above it only to confirm a loop.
  size_t from = current;
  while (levels_[from].handle == kNoFolder) --from;
  for (size_t index = from + 1; index <= current; ++index) {
    Level& level = levels_[index];
    if (fs_.OpenFolder(levels_[index - 1].handle, Name(level), level.handle) != ListStatus::Ok) {
      level.handle = kNoFolder;
      return kNoFolder;  // gone meanwhile: what it holds cannot be opened
    }
    held_.insert(std::upper_bound(held_.begin(), held_.end(), index - 1), index);
  }
  // The walk's own level: thinned at once. One above it (a loop to confirm) stays open until
  // the walk next goes deeper.
  if (current == levels_.size() - 1) LetGoFarLevels();
  return levels_[current].handle;
}

}  // namespace vemo
