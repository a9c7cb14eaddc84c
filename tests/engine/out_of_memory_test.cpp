// Exhausted memory ends the process with status 1 and its one line on standard output.
#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>

#include "engine_fixture.h"

namespace vemo::test {
namespace {

// The real file system, but the enumeration's own allocation fails.
class NoMemoryForListing : public FileSystem {
public:
    explicit NoMemoryForListing(FileSystem& real) : real_(real) {}
    char separator() const override { return real_.separator(); }
    bool endsInSeparator(std::string_view path) const override { return real_.endsInSeparator(path); }
    ListStatus list(const std::string&, EntryReceiver&) override { throw std::bad_alloc(); }
    FileHandle open(const std::string& path) override { return real_.open(path); }
    size_t read(FileHandle f, void* b, size_t n) override { return real_.read(f, b, n); }
    void close(FileHandle f) override { real_.close(f); }
    bool folderId(const std::string& path, FolderId& id) override { return real_.folderId(path, id); }

private:
    FileSystem& real_;
};

// A sink whose line store cannot grow.
class NoMemoryForLines : public MemorySink {
public:
    void appendLine(std::string_view) override { throw std::bad_alloc(); }
};

class OutOfMemoryTest : public EngineTest {
protected:
    // A name the death test's child process finds too (on Windows it runs the test afresh).
    std::filesystem::path outPath = std::filesystem::temp_directory_path() /
        (std::string("vemo-oom-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string outFile = outPath.u8string();
    ~OutOfMemoryTest() override { std::filesystem::remove(outPath); }
    std::string captured() {
        std::ifstream in(outPath, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(OutOfMemoryTest, NoMemoryForTheSearchRecord) {
    tree.folder("1");
    tree.folder("2");
    NoMemoryForListing failing(*fs);
    EXPECT_EXIT(
        {
            std::freopen(outFile.c_str(), "wb", stdout);
            Engine(state, failing, sink).compareFolderPair(p("1"), p("2"));
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(captured(), "Out of memory.\n");
}

TEST_F(OutOfMemoryTest, NoMemoryForAnythingElse) {
    tree.folder("1");
    tree.file("2/orphan");
    NoMemoryForLines lines;
    EXPECT_EXIT(
        {
            std::freopen(outFile.c_str(), "wb", stdout);
            Engine(state, *fs, lines).compareFolderPair(p("1"), p("2"));
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(captured(), "Out of Memory.\n");
}

}  // namespace
}  // namespace vemo::test
