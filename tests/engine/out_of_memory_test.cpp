// Exhausted memory ends the process with status 1 and its one line on standard output.
#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>

#include "engine_fixture.h"
#include "tests/support/test_file_system.h"

namespace vemo::test {
namespace {

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
  testing::TestFileSystem failing(*fs);  // the enumeration's own allocation fails
  failing.onList = [](const std::string&) { throw std::bad_alloc(); };
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
