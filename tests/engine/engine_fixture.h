// A fresh run state, the platform's real file system and a memory sink over a temporary tree.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "memory_sink.h"
#include "tests/support/temp_tree.h"

namespace vemo::test {

using Lines = std::vector<std::string>;

class EngineTest : public ::testing::Test {
protected:
    TempTree tree;
    RunState state;
    std::unique_ptr<FileSystem> fs = makeNativeFileSystem();
    MemorySink sink;
    Engine engine{state, *fs, sink};

    std::string p(const std::string& rel = "") const { return tree.path(rel); }

    Lines compare(const std::string& a, const std::string& b) {
        engine.compareFolderPair(p(a), p(b));
        return sink.lines;
    }
    Lines runPair(const std::string& a, const std::string& b) {
        engine.run(p(a), p(b));
        return sink.lines;
    }

    std::string noCounterpart(const std::string& folderRel, const std::string& name) const {
        return p(folderRel) + fs->separator() + name + " does'nt exist in another folder.";
    }
    std::string differ(const std::string& a, const std::string& b) const {
        return p(a) + " and " + p(b) + " differ in contents.";
    }
    std::string longer(const std::string& a, const std::string& b) const {
        return p(a) + " is longer than " + p(b) + " .";
    }
    std::string pattern(const std::string& folderRel) const {
        return p(folderRel) + fs->separator() + "*.*";
    }

    // A path of the machine that runs the tests, as this platform names it.
    static std::string hostPath(std::string path) {
#ifdef _WIN32
        path = "Z:" + path;
        std::replace(path.begin(), path.end(), '/', '\\');
#endif
        return path;
    }

    // The names of a folder in the order the platform enumerates them.
    std::vector<std::string> enumerated(const std::string& folderRel) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(tree.fsPath(folderRel)))
            names.push_back(entry.path().filename().u8string());
        return names;
    }
};

}  // namespace vemo::test
