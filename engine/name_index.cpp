#include "engine/name_index.h"

namespace vemo {
namespace {

inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }

uint64_t NameHash(std::string_view name, bool ignoreCase) {
  uint64_t h = 1469598103934665603ull;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    h = (h ^ (ignoreCase ? Fold(c) : c)) * 1099511628211ull;
  }
  return h ^ (h >> 29);
}

// Open addressing over the entries' positions (+ 1; 0 is an empty slot).
std::vector<uint32_t> Slots(size_t entries, size_t& mask) {
  size_t capacity = 16;
  while (capacity < entries * 2) capacity *= 2;
  mask = capacity - 1;
  return std::vector<uint32_t>(capacity, 0);
}

}  // namespace

bool NamesMatch(std::string_view a, std::string_view b, bool ignoreCase) {
  if (a.size() != b.size()) return false;
  if (!ignoreCase) return a == b;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

void MarkSameNames(std::vector<FileEntry>& list) {
  if (list.size() < 2) return;
  size_t mask = 0;
  std::vector<uint32_t> slots = Slots(list.size(), mask);
  for (size_t i = 0; i < list.size(); ++i) {
    for (size_t slot = NameHash(list[i].name, false) & mask;; slot = (slot + 1) & mask) {
      if (slots[slot] == 0) {
        slots[slot] = static_cast<uint32_t>(i + 1);
        break;
      }
      FileEntry& seen = list[slots[slot] - 1];
      if (seen.name == list[i].name) {
        seen.ambiguous = list[i].ambiguous = true;
        break;
      }
    }
  }
}

uint64_t NameIndex::Hash(std::string_view name) const { return NameHash(name, ignoreCase_); }

NameIndex::NameIndex(const std::vector<FileEntry>& list, bool ignoreCase)
    : list_(list), ignoreCase_(ignoreCase) {
  if (list.size() <= kScanUpTo) return;
  slots_ = Slots(list.size(), mask_);
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
