// The real vemo-cli over what a Linux folder can hold that is no file to compare or no name
// Windows can say: every run ends (within the process guard of RunProcess), with its error lines
// and status 1, never "No difference found.". Natively the trees are made here; under Wine
// make-test-data made them (hostile/).
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/run_process.h"
#include "tests/support/temp_tree.h"
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

struct Case {
  const char* what;
  std::vector<std::string> args;  // after -r
  std::string out;
};

void ExpectEndings(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    std::vector<std::string> args = {VemoCliPath(), "-r"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult r = RunProcess(args);
    EXPECT_EQ(r.out, c.out) << c.what;
    EXPECT_EQ(r.status, 1) << c.what;
  }
}

std::string CantOpen(const std::string& path) {
  return "Can't open : " + path + "\n1 error(s) found.  (compared files:0  0KB)\n";
}

#ifndef _WIN32
TEST(HostileCli, PipesDevicesAndKernelFilesEndTheRunAsCantOpen) {
  TempTree tree;
  int writers[2] = {-1, -1};
  for (int side = 0; side < 2; ++side) {
    const std::string number = std::to_string(side + 1);
    // A pipe with a writer that holds it open: a reader would wait for more forever.
    const std::string pipe = tree.Folder("pipe/" + number) + "/pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    writers[side] = open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_EQ(write(writers[side], "x", 1), 1);
    for (const auto& [folder, target] :
         {std::pair<const char*, const char*>{"dev", "/dev/zero"}, {"proc", "/proc/version"}})
      ASSERT_EQ(symlink(target, (tree.Folder(folder + ("/" + number)) + "/link").c_str()), 0);
  }
  ExpectEndings({
      {"a pipe with a writer",
       {tree.Path("pipe/1"), tree.Path("pipe/2")},
       CantOpen(tree.Path("pipe/1") + "/pipe")},
      {"links to /dev/zero",
       {tree.Path("dev/1"), tree.Path("dev/2")},
       CantOpen(tree.Path("dev/1") + "/link")},
      // /proc/kmsg lies there too: as root, reading it would take the kernel's log away.
      {"links to a kernel file",
       {tree.Path("proc/1"), tree.Path("proc/2")},
       CantOpen(tree.Path("proc/1") + "/link")},
  });
  for (int fd : writers) close(fd);
}
#else
std::string Prepared(const std::string& rel) {
  std::string path = "Z:" + std::string(std::getenv("VEMO_TEST_DATA")) + "/hostile/" + rel;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

class HostileCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("VEMO_TEST_DATA")) GTEST_SKIP() << "VEMO_TEST_DATA is not set";
    GetCurrentDirectoryW(MAX_PATH, saved_);
  }
  void TearDown() override { SetCurrentDirectoryW(saved_); }
  wchar_t saved_[MAX_PATH] = L"";
};

TEST_F(HostileCli, PipesDevicesAndNamesNoPathCanHoldEndTheRunWithTheirLines) {
  // The pipe gets a writer from here: opened to read and write, it never waits for one.
  HANDLE writer =
      CreateFileW(ToWide(Prepared("fifo/1/pipe")).c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const std::string lost = "\\x\xEF\xBF\xBD";  // x\xe9 and x\xe8 as Wine lists them
  ExpectEndings({
      {"a pipe with a writer",
       {Prepared("fifo/1"), Prepared("fifo/2")},
       CantOpen(Prepared("fifo/1/pipe"))},
      {"links to /dev/zero",
       {Prepared("zero/1"), Prepared("zero/2")},
       CantOpen(Prepared("zero/1/zero"))},
      {"two names listed alike",
       {Prepared("lossy/1"), Prepared("lossy/2")},
       "Can't open : " + Prepared("lossy/2") + lost + "\nCan't open : " + Prepared("lossy/2") +
           lost + "\nCan't open : " + Prepared("lossy/1") + lost + "\nCan't open : " +
           Prepared("lossy/1") + lost + "\n4 error(s) found.  (compared files:0  0KB)\n"},
  });
  CloseHandle(writer);
}

// Relative texts whose last name Windows would take for a device: the folders of that name.
TEST_F(HostileCli, ARelativeTextEndingInADeviceNameIsThatFolder) {
  ASSERT_TRUE(SetCurrentDirectoryW(ToWide(Prepared("devices")).c_str()));
  auto differ = [](const std::string& one, const std::string& two) {
    return one + "\\f and " + two +
           "\\f differ in contents.\n"
           "1 error(s) found.  (compared files:0  0KB)\n";
  };
  std::vector<Case> cases;
  for (const auto& [one, two] : std::vector<std::pair<std::string, std::string> >{
           {"1\\dev\\CON", "2\\dev\\CON"},
           {".\\1\\dev\\COM1", ".\\2\\dev\\COM1"},
           {"1\\x\\..\\dev\\nul", "2\\dev\\x\\..\\nul"},
           {Prepared("devices/1/dev/CON"), "2\\dev\\CON"}})
    cases.push_back({"relative device name", {one, two}, differ(one, two)});
  ExpectEndings(cases);
}
#endif

}  // namespace
}  // namespace vemo::test
