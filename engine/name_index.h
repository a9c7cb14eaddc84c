// Finds an entry of a folder listing by name: the first match in list order, with or without
// folding the ASCII letters a-z to capitals. Same answers as scanning the list from its head,
// without the cost of one scan per lookup.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

struct FileEntry {
  std::string name;
  int64_t size = 0;        // bytes (kUnknownSize where the listing did not say); 0 for folders
  bool ambiguous = false;  // its listing gave another entry of exactly this name
};

// Marks the entries whose name another entry of the same list has, byte for byte: a layer below
// the program that cannot tell two names apart (a name not valid in its encoding) lists both
// alike, and neither may be taken for the other's file.
void MarkSameNames(std::vector<FileEntry>& list);

bool NamesMatch(std::string_view a, std::string_view b, bool ignoreCase);

class NameIndex {
 public:
  NameIndex(const std::vector<FileEntry>& list, bool ignoreCase);
  const FileEntry* Find(std::string_view name) const;

 private:
  static constexpr size_t kScanUpTo = 8;  // short lists are scanned, not hashed
  uint64_t Hash(std::string_view name) const;

  const std::vector<FileEntry>& list_;
  bool ignoreCase_;
  std::vector<uint32_t> slots_;  // entry index + 1; 0 is empty
  size_t mask_ = 0;
};

}  // namespace vemo
