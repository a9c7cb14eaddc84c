#include "engine/walk_path.h"

#include <algorithm>

namespace vemo {

void WalkPath::Close() {
  held_.clear();
  levels_.clear();  // lets go of every folder
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
  FolderHandle handle = kNoFolder;
  root.status =
      resolved.empty() ? ListStatus::NotFound : fs_.OpenFolder(kNoFolder, resolved, handle);
  root.folder = Hold(owner_, handle);
  if (root.folder) root.id = fs_.IdentifyFolder(handle);
  const bool held = root.folder != nullptr;
  Push(std::move(root));
  if (held) held_.push_back(0);
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
  Enter(name, OpenSubFolder(fs_, owner_, Handle(), name));
}

void WalkPath::Enter(std::string_view name, OpenedFolder opened) {
  AppendName(name);
  Level level;
  level.end = text_.size();
  level.nameStart = level.end - name.size();
  level.folder = std::move(opened.held);
  level.status = opened.status;
  level.id = opened.id;
  const bool held = level.folder != nullptr;
  Push(std::move(level));
  if (held) held_.push_back(levels_.size() - 1);
  LetGoFarLevels();
}

void WalkPath::Leave() {
  const size_t index = levels_.size() - 1;
  if (!held_.empty() && held_.back() == index) held_.pop_back();
  if (levels_.back().id.known) --seen_[Key(levels_.back().id)];
  levels_.pop_back();
}

void WalkPath::Push(Level level) {
  if (level.id.known) ++seen_[Key(level.id)];
  levels_.push_back(std::move(level));
}

bool WalkPath::Keeps(size_t index, size_t depth) {
  if (index == 0) return true;
  const size_t distance = depth - 1 - index;
  if (distance < kRecent) return true;
  // kPerBand levels in the band [kRecent, 2 kRecent), as many in the next band of twice the
  // width, and so on: a level is kept where its index is a multiple of the band's spacing, so a
  // level let go is never wanted again on the way down.
  size_t spacing = kRecent / kPerBand;
  size_t band = 2 * kRecent;
  for (size_t bands = 1; distance >= band; ++bands) {
    if (bands == kBands) return false;
    band *= 2;
    spacing *= 2;
  }
  return index % spacing == 0;
}

void WalkPath::LetGoFarLevels() {
  const size_t depth = levels_.size();
  size_t kept = 0;
  for (size_t index : held_) {
    if (Keeps(index, depth))
      held_[kept++] = index;
    else
      levels_[index].folder.reset();
  }
  held_.resize(kept);
}

bool WalkPath::IsLoop() {
  const size_t current = levels_.size() - 1;
  const FolderId& id = levels_[current].id;
  if (!id.known || seen_[Key(id)] < 2) return false;  // no folder above has its identity
  bool loop = false;
  for (size_t index = 0; index < current && !loop; ++index) {
    // Cheap identities that differ settle it; equal ones are asked again in full.
    loop = levels_[index].id == levels_[current].id && ExactId(index) == ExactId(current);
  }
  LetGoFarLevels();  // a level above opened again for the question
  return loop;
}

FolderId WalkPath::ExactId(size_t index) {
  const SharedFolder folder = At(index);
  return folder ? fs_.ExactFolderId(folder->Handle()) : FolderId{};
}

OpenedFolder WalkPath::Opened() {
  const Level& level = levels_.back();
  return OpenedFolder{Current(), level.status, level.id};
}

SharedFolder WalkPath::Current() { return At(levels_.size() - 1); }

SharedFolder WalkPath::At(size_t current) {
  if (levels_[current].folder || levels_[current].status != ListStatus::Ok)
    return levels_[current].folder;
  // Let go while the walk was deeper: opened again, level by level, from the nearest ancestor
  // still held (the root always is). A level on the way that the walk would not hold is let go
  // as soon as the next one is open, so no more than kMostHeld are held on the way either. Only
  // the current level is asked for by the walk; one above it only to confirm a loop.
  const size_t depth = levels_.size();
  size_t from = current;
  while (!levels_[from].folder) --from;
  const auto passed = [&](size_t index) {
    if (index == from) return;
    if (Keeps(index, depth))
      held_.insert(std::upper_bound(held_.begin(), held_.end(), index), index);
    else
      levels_[index].folder.reset();
  };
  for (size_t index = from + 1; index <= current; ++index) {
    FolderHandle handle = kNoFolder;
    const ListStatus opened =
        fs_.OpenFolder(levels_[index - 1].folder->Handle(), Name(levels_[index]), handle);
    if (opened == ListStatus::Ok) levels_[index].folder = Hold(owner_, handle);
    passed(index - 1);
    if (opened != ListStatus::Ok) return nullptr;  // gone meanwhile: what it holds cannot be opened
  }
  held_.insert(std::upper_bound(held_.begin(), held_.end(), current), current);
  SharedFolder folder = levels_[current].folder;
  if (current == depth - 1) LetGoFarLevels();
  return folder;
}

}  // namespace vemo
