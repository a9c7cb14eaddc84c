// A fresh run state, the platform's real file system and a memory sink over a temporary tree.
#pragma once

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "tests/support/memory_sink.h"
#include "tests/support/native_file_system.h"
#include "tests/support/temp_tree.h"

namespace vemo::test {

using Lines = std::vector<std::string>;

class EngineTest : public ::testing::Test {
 protected:
  TempTree tree;
  RunState state;
  FileSystem* fs = &NativeFileSystem();
  MemorySink sink;
  Engine engine{state, *fs, sink};

  std::string Path(const std::string& rel = "") const { return tree.Path(rel); }

  Lines Compare(const std::string& a, const std::string& b) {
    engine.CompareFolderPair(Path(a), Path(b));
    return sink.lines;
  }
  Lines RunPair(const std::string& a, const std::string& b) {
    engine.Run(Path(a), Path(b));
    return sink.lines;
  }

  std::string NoCounterpart(const std::string& folderRel, const std::string& name) const {
    return Path(folderRel) + fs->Separator() + name + " does'nt exist in another folder.";
  }
  std::string Differ(const std::string& a, const std::string& b) const {
    return Path(a) + " and " + Path(b) + " differ in contents.";
  }
  std::string Longer(const std::string& a, const std::string& b) const {
    return Path(a) + " is longer than " + Path(b) + " .";
  }
  std::string Pattern(const std::string& folderRel) const {
    return Path(folderRel) + fs->Separator() + "*.*";
  }

  // A path of the machine that runs the tests, as this platform names it.
  static std::string HostPath(std::string path) {
#ifdef _WIN32
    path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
  }

  // The names of a folder in the order the platform enumerates them.
  std::vector<std::string> Enumerated(const std::string& folderRel) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tree.FsPath(folderRel)))
      names.push_back(entry.path().filename().u8string());
    return names;
  }
};

}  // namespace vemo::test
