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
  char Separator() const override { return real_.Separator(); }
  bool EndsInSeparator(std::string_view path) const override { return real_.EndsInSeparator(path); }
  std::string ResolveFolder(const std::string& text) override { return real_.ResolveFolder(text); }
  ListStatus List(const std::string&, EntryReceiver&) override { throw std::bad_alloc(); }
  FileHandle Open(const std::string& path) override { return real_.Open(path); }
  size_t Read(FileHandle f, void* b, size_t n) override { return real_.Read(f, b, n); }
  void Close(FileHandle f) override { real_.Close(f); }
  bool IdentifyFolder(const std::string& path, FolderId& id) override {
    return real_.IdentifyFolder(path, id);
  }

 private:
  FileSystem& real_;
};

// A sink whose line store cannot grow.
class NoMemoryForLines : public MemorySink {
 public:
  void AddErrorLine(std::string_view) override { throw std::bad_alloc(); }
};

class OutOfMemoryTest : public EngineTest {
 protected:
  // A name the death test's child process finds too (on Windows it runs the test afresh).
  std::filesystem::path outPath =
      std::filesystem::temp_directory_path() /
      (std::string("vemo-oom-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string outFile = outPath.u8string();
  ~OutOfMemoryTest() override { std::filesystem::remove(outPath); }
  std::string Captured() {
    std::ifstream in(outPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(OutOfMemoryTest, NoMemoryForTheSearchRecord) {
  tree.Folder("1");
  tree.Folder("2");
  NoMemoryForListing failing(*fs);
  EXPECT_EXIT(
      {
        std::freopen(outFile.c_str(), "wb", stdout);
        Engine(state, failing, sink).CompareFolderPair(Path("1"), Path("2"));
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(Captured(), "Out of memory.\n");
}

TEST_F(OutOfMemoryTest, NoMemoryForAnythingElse) {
  tree.Folder("1");
  tree.File("2/orphan");
  NoMemoryForLines lines;
  EXPECT_EXIT(
      {
        std::freopen(outFile.c_str(), "wb", stdout);
        Engine(state, *fs, lines).CompareFolderPair(Path("1"), Path("2"));
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(Captured(), "Out of Memory.\n");
}

}  // namespace
}  // namespace vemo::test
