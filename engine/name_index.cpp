#include "engine/name_index.h"

namespace vemo {
namespace {

inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }

}  // namespace

bool NamesMatch(std::string_view a, std::string_view b, bool ignoreCase) {
  if (a.size() != b.size()) return false;
  if (!ignoreCase) return a == b;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

uint64_t NameIndex::Hash(std::string_view name) const {
  uint64_t h = 1469598103934665603ull;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    h = (h ^ (ignoreCase_ ? Fold(c) : c)) * 1099511628211ull;
  }
  return h ^ (h >> 29);
}

NameIndex::NameIndex(const std::vector<FileEntry>& list, bool ignoreCase)
    : list_(list), ignoreCase_(ignoreCase) {
  if (list.size() <= kScanUpTo) return;
  size_t capacity = 16;
  while (capacity < list.size() * 2) capacity *= 2;
  slots_.assign(capacity, 0);
  mask_ = capacity - 1;
  for (size_t i = 0; i < list.size(); ++i) {
    for (size_t slot = Hash(list[i].name) & mask_;; slot = (slot + 1) & mask_) {
      if (slots_[slot] == 0) {
        slots_[slot] = static_cast<uint32_t>(i + 1);
        break;
      }
      // A later entry with a matching name is never found: the earlier one comes first.
      if (NamesMatch(list_[slots_[slot] - 1].name, list[i].name, ignoreCase_)) break;
    }
  }
}

const FileEntry* NameIndex::Find(std::string_view name) const {
  if (slots_.empty()) {
    for (const FileEntry& entry : list_)
      if (NamesMatch(entry.name, name, ignoreCase_)) return &entry;
    return nullptr;
  }
  for (size_t slot = Hash(name) & mask_; slots_[slot] != 0; slot = (slot + 1) & mask_) {
    const FileEntry& entry = list_[slots_[slot] - 1];
    if (NamesMatch(entry.name, name, ignoreCase_)) return &entry;
  }
  return nullptr;
}

}  // namespace vemo
