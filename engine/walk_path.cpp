#include "engine/walk_path.h"

namespace vemo {

void WalkPath::Close() {
  for (size_t index : held_) fs_.CloseFolder(levels_[index].handle);
  held_.clear();
  levels_.clear();
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
  levels_.push_back(root);
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

void WalkPath::Enter(std::string_view name) {
  const FolderHandle parent = Handle();
  AppendName(name);
  Level level;
  level.end = text_.size();
  level.nameStart = level.end - name.size();
  if (parent == kNoFolder)
    level.status = ListStatus::OtherError;  // the folder above has gone meanwhile
  else
    level.status = fs_.OpenFolder(parent, name, level.handle);
  levels_.push_back(level);
  if (level.handle != kNoFolder) held_.push_back(levels_.size() - 1);
  LetGoFarLevels();
}

void WalkPath::Leave() {
  const size_t index = levels_.size() - 1;
  if (!held_.empty() && held_.back() == index) {
    fs_.CloseFolder(levels_[index].handle);
    held_.pop_back();
  }
  levels_.pop_back();
}

bool WalkPath::Keeps(size_t index, size_t depth) {
  if (index == 0) return true;
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

FolderHandle WalkPath::Handle() {
  const size_t current = levels_.size() - 1;
  if (levels_[current].handle != kNoFolder || levels_[current].status != ListStatus::Ok)
    return levels_[current].handle;
  // Let go while the walk was deeper: opened again, level by level, from the nearest ancestor
  // still held (the root always is).
  size_t from = current;
  while (levels_[from].handle == kNoFolder) --from;
  for (size_t index = from + 1; index <= current; ++index) {
    Level& level = levels_[index];
    if (fs_.OpenFolder(levels_[index - 1].handle, Name(level), level.handle) != ListStatus::Ok) {
      level.handle = kNoFolder;
      return kNoFolder;  // gone meanwhile: what it holds cannot be opened
    }
    held_.push_back(index);
  }
  LetGoFarLevels();
  return levels_[current].handle;
}

}  // namespace vemo
