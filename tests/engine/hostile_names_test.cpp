// What a Linux folder can hold that is no file to compare, or no name that Windows can say: a
// named pipe with or without a writer, links to devices and to the kernel's live files, names
// that are not UTF-8, names with characters that Windows forbids. Every run ends, nothing of
// the kind is read, and a name is never taken for another. Natively the trees are made here;
// under Wine make-test-data made them (hostile/), since Windows calls cannot.
#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>

#include "engine_fixture.h"
#include "tests/support/give_up.h"
#ifdef _WIN32
#include <windows.h>

#include "win32/text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vemo::test {
namespace {

class HostileTest : public EngineTest {
 protected:
  // A recursive run on a thread of its own: a read that never ends fails the test (and ends its
  // process) instead of holding up every test after it.
  Lines RunGuarded(const std::string& one, const std::string& two) {
    state.recursive = 1;
    auto run = std::async(std::launch::async, [&] { engine.Run(one, two); });
    if (run.wait_for(std::chrono::seconds(60)) != std::future_status::ready)
      GiveUp("the run over " + one + " did not end");
    return sink.lines;
  }
};

#ifndef _WIN32
// A named pipe that this test writes into and holds open: a reader would wait for more forever.
struct HeldPipe {
  explicit HeldPipe(const std::string& path) {
    if (mkfifo(path.c_str(), 0600) == 0) fd = open(path.c_str(), O_RDWR | O_NONBLOCK);
    if (fd >= 0 && write(fd, "x", 1) != 1) ADD_FAILURE() << "nothing written into " << path;
  }
  ~HeldPipe() {
    if (fd >= 0) close(fd);
  }
  int fd = -1;
};

TEST_F(HostileTest, WhatIsNoRegularFileIsOneCantOpenLineAndNeverRead) {
  struct Case {
    const char* what;
    const char* name;
    std::function<void(const std::string& path)> make;  // in each side's folder
  };
  std::vector<std::unique_ptr<HeldPipe>> writers;
  const Case cases[] = {
      {"a named pipe without a writer", "pipe",
       [](const std::string& p) { mkfifo(p.c_str(), 0600); }},
      {"a named pipe with a writer", "pipe",
       [&](const std::string& p) { writers.push_back(std::make_unique<HeldPipe>(p)); }},
      {"a link to /dev/zero", "zero",
       [](const std::string& p) { symlink("/dev/zero", p.c_str()); }},
      {"a link to /dev/urandom", "random",
       [](const std::string& p) { symlink("/dev/urandom", p.c_str()); }},
      // A regular file to stat, on the kernel's own file system (/proc/kmsg is one such, whose
      // reading takes the kernel's log away).
      {"a link to a kernel file", "version",
       [](const std::string& p) { symlink("/proc/version", p.c_str()); }},
  };
  for (const Case& c : cases) {
    TempTree sides;
    for (const char* side : {"1", "2"}) c.make(sides.Folder(side) + "/" + c.name);
    sink.lines.clear();
    state.filesCompared = 0;
    EXPECT_EQ(RunGuarded(sides.Path("1"), sides.Path("2")),
              Lines{"Can't open : " + sides.Path("1") + "/" + c.name})
        << c.what;
    EXPECT_EQ(state.filesCompared, 0) << c.what;
    EXPECT_EQ(state.comparedSize, 0) << c.what;
    writers.clear();
  }
}

TEST_F(HostileTest, NamesThatAreNotUtf8AreComparedByTheirBytes) {
  tree.File("1/x\xe9", "same");
  tree.File("2/x\xe9", "same");
  tree.File("1/x\xe8", "1");
  tree.File("2/x\xe8", "2");
  EXPECT_EQ(RunGuarded(Path("1"), Path("2")), Lines{Differ("1/x\xe8", "2/x\xe8")});
  EXPECT_EQ(state.filesCompared, 1);
}
#else
// The prepared trees, as Windows paths.
class WineHostileTest : public HostileTest {
 protected:
  void SetUp() override {
    if (!std::getenv("VEMO_TEST_DATA")) GTEST_SKIP() << "VEMO_TEST_DATA is not set";
  }
  static std::string Prepared(const std::string& rel) {
    return HostPath(std::string(std::getenv("VEMO_TEST_DATA")) + "/hostile/" + rel);
  }
};

TEST_F(WineHostileTest, WhatIsNoRegularFileIsOneCantOpenLineAndNeverRead) {
  // The pipe gets a writer from here: opened to read and write, it never waits for one.
  HANDLE writer =
      CreateFileW(ToWide(Prepared("fifo/1/pipe")).c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const std::pair<const char*, const char*> cases[] = {
      {"fifo", "pipe"}, {"zero", "zero"}, {"urandom", "random"}};
  for (const auto& [folder, name] : cases) {
    const std::string one = Prepared(std::string(folder) + "/1");
    sink.lines.clear();
    EXPECT_EQ(RunGuarded(one, Prepared(std::string(folder) + "/2")),
              Lines{"Can't open : " + one + "\\" + name});
    EXPECT_EQ(state.comparedSize, 0) << name;
  }
  CloseHandle(writer);
}

// Wine lists x\xe9 and x\xe8 alike, as x\uFFFD: neither is compared with the other's file, each
// is one error line.
TEST_F(WineHostileTest, NamesTheListingCannotTellApartAreEachOneCantOpenLine) {
  const std::string one = Prepared("lossy/1"), two = Prepared("lossy/2");
  const std::string lost = "\\x\xEF\xBF\xBD";
  EXPECT_EQ(RunGuarded(one, two),
            (Lines{"Can't open : " + two + lost, "Can't open : " + two + lost,
                   "Can't open : " + one + lost, "Can't open : " + one + lost}));
  EXPECT_EQ(state.filesCompared, 0);
  EXPECT_EQ(state.errorCount, 4);
}

// Wine lists names with characters that Windows forbids as they are on the disk, and refuses
// them when they are opened: their short names open them. A name of one control character
// gets no short name: that file alone cannot be opened.
TEST_F(WineHostileTest, NamesWithCharactersWindowsForbidsAreComparedAsThemselves) {
  const std::string one = Prepared("forbidden/1");
  EXPECT_EQ(RunGuarded(one, Prepared("forbidden/2")), Lines{"Can't open : " + one + "\\\x02"});
  EXPECT_EQ(state.filesCompared, 2 * 9 - 1);  // each name as a file, and a folder's file
}

// The same names entered after the walk has been deep below their folder, which it let go and
// opened again meanwhile: the short names its listing gave still open them.
TEST_F(WineHostileTest, NamesWindowsForbidsOpenAfterADeepSibling) {
  EXPECT_EQ(RunGuarded(Prepared("deepsibling/1"), Prepared("deepsibling/2")), Lines{});
  EXPECT_EQ(state.filesCompared, 9 + 30 + 1);
}
#endif

}  // namespace
}  // namespace vemo::test
