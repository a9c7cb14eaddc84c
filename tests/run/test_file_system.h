// The platform's file system with something changed for a test: a failure injected into a
// listing, or folders whose listing is made up (many names, without touching the disk).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/file_system.h"

namespace vemo::testing {

class TestFileSystem : public FileSystem {
  static constexpr FileHandle kEmptyFile = -2;

 public:
  explicit TestFileSystem(FileSystem& real) : real_(real) {}

  std::function<void(const std::string& folder)> onList;  // before each listing; may throw
  // A folder whose path ends in `suffix` lists `count` one-byte files named prefix + 6 digits.
  struct MadeUp {
    std::string suffix, prefix;
    int count;
  };
  std::vector<MadeUp> madeUp;
  // Files read as empty (both sides of an equal pair of big files: the same findings, at once).
  std::function<bool(const std::string& path)> readsEmpty;

  char Separator() const override { return real_.Separator(); }
  bool EndsInSeparator(std::string_view path) const override { return real_.EndsInSeparator(path); }
  std::string ResolveFolder(const std::string& text) override { return real_.ResolveFolder(text); }
  ListStatus List(const std::string& folder, EntryReceiver& receiver) override {
    if (onList) onList(folder);
    for (const MadeUp& m : madeUp) {
      if (folder.size() < m.suffix.size() ||
          folder.compare(folder.size() - m.suffix.size(), m.suffix.size(), m.suffix) != 0)
        continue;
      char name[32];
      for (int i = 0; i < m.count; ++i) {
        std::snprintf(name, sizeof name, "%s%06d", m.prefix.c_str(), i);
        receiver.Entry(name, false, 1);
      }
      return ListStatus::Ok;
    }
    return real_.List(folder, receiver);
  }
  FileHandle Open(const std::string& path) override {
    return readsEmpty && readsEmpty(path) ? kEmptyFile : real_.Open(path);
  }
  size_t Read(FileHandle f, void* b, size_t n) override {
    return f == kEmptyFile ? 0 : real_.Read(f, b, n);
  }
  void Close(FileHandle f) override {
    if (f != kEmptyFile) real_.Close(f);
  }
  bool IdentifyFolder(const std::string& path, FolderId& id) override {
    return real_.IdentifyFolder(path, id);
  }

 private:
  FileSystem& real_;
};

}  // namespace vemo::testing
