// The real vemo-cli on prepared trees: standard output, summary line, exit status.
#include <algorithm>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include "release/version.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_tree.h"
#ifdef _WIN32
#include <windows.h>

#include <filesystem>

#include "win32/text.h"
#else
#include "tests/support/long_paths.h"
#endif

namespace vemo::test {
namespace {

class CliTest : public ::testing::Test {
 protected:
  TempTree tree;
  std::string Path(const std::string& rel) const { return tree.Path(rel); }
  ProcessResult Cli(std::vector<std::string> args, int interruptAfterMs = -1) {
    args.insert(args.begin(), VemoCliPath());
    return RunProcess(args, interruptAfterMs);
  }
  std::string Orphan(const std::string& folder, const std::string& name) const {
    char sep = tree.Path("a/b")[tree.Path("a").size()];
    return Path(folder) + sep + name + " does'nt exist in another folder.";
  }
};

TEST_F(CliTest, UsageErrorsPrintUsageOnStandardErrorOnly) {
  for (std::vector<std::string> args : {std::vector<std::string>{},
                                        {"one"},
                                        {"a", "b", "c"},
                                        {"-x", "a", "b"},
                                        {"--bogus", "a", "b"}}) {
    ProcessResult r = Cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: vemo-cli [-r|--recursive] [-i|--ignore-case] [-n|--ignore-nofile] "
                         "[--japanese] FOLDER1 FOLDER2"),
              std::string::npos);
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << "LF line endings, as on standard output";
  }
}

TEST_F(CliTest, VersionAndHelpAnswerOnStandardOutputWithStatus0) {
  ProcessResult r = Cli({"--version"});
  EXPECT_EQ(r.out, std::string("vemo-cli ") + VEMO_VERSION + "\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // Help wins over folders and other options, and names every exit status.
  for (std::vector<std::string> args :
       {std::vector<std::string>{"--help"}, {"-r", "-h"}, {"--help", "one", "two", "three"}}) {
    r = Cli(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: vemo-cli [-r|--recursive]", 0), 0u) << r.out;
    for (const char* text : {"--version", "--ignore-nofile", "Exit status: 0 no difference found",
                             "1 differences", "2 wrong usage", "130 stopped with Ctrl-C"})
      EXPECT_NE(r.out.find(text), std::string::npos) << text;
  }
}

TEST_F(CliTest, EqualTreesPrintNoErrorAndTheSummary) {
  for (const char* side : {"1", "2"}) {
    tree.File(std::string(side) + "/a", std::string(20000, 'a'));
    tree.File(std::string(side) + "/s/b", "b");
    tree.File(std::string(side) + "/s/t/c", "");
  }
  ProcessResult r = Cli({"-r", Path("1"), Path("2")});
  EXPECT_EQ(r.out, "No error.\nNo difference found.   (compared files:3  19KB)\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");  // no terminal: no progress display
  r = Cli({Path("1"), Path("2")});
  EXPECT_EQ(r.out, "No error.\nNo difference found.   (compared files:1  19KB)\n");
}

TEST_F(CliTest, FindingsThenTheErrorSummaryAndStatus1) {
  tree.File("1/same", "x");
  tree.File("2/same", "x");
  tree.File("1/diff", "1");
  tree.File("2/DIFF", "2");
  tree.File("1/only1", "");
  tree.Folder("1/sub1");
  ProcessResult r = Cli({"--ignore-case", "--recursive", Path("1"), Path("2")});
  // The pre-scan's line for sub1 is dropped; the comparison reports it once.
  EXPECT_EQ(r.out, Path("1/diff") + " and " + Path("2/DIFF") + " differ in contents.\n" +
                       Orphan("1", "only1") + "\n" + Orphan("1", "sub1") + "\n" +
                       "3 error(s) found.  (compared files:1  0KB)\n");
  EXPECT_EQ(r.status, 1);
  r = Cli({"-rin", Path("1"), Path("2")});
  EXPECT_EQ(r.out, Path("1/diff") + " and " + Path("2/DIFF") + " differ in contents.\n" +
                       "1 error(s) found.  (compared files:1  0KB)\n");
}

TEST_F(CliTest, JapaneseLinesAndAMissingFolder) {
  tree.File("2/名前", "");
  ProcessResult r = Cli({"--japanese", "--", Path("none"), Path("2")});
  std::string sep(1, tree.Path("a/b")[tree.Path("a").size()]);
  EXPECT_EQ(
      r.out,
      Path("none") + sep + "*.* : 一致するファイルが見つかりません。\n" + Path("2") + sep +
          "名前 は片側のフォルダにのみ存在します。\n2 error(s) found.  (compared files:0  0KB)\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(CliTest, ManyLinesComeOutWholeAndInOrder) {
  for (int i = 0; i < 3000; ++i) tree.File("1/f" + std::to_string(i), "");
  tree.Folder("2");
  ProcessResult r = Cli({Path("1"), Path("2")});
  size_t lines = 0;
  for (char c : r.out) lines += c == '\n';
  EXPECT_EQ(lines, 3001u);
  EXPECT_NE(r.out.find("3000 error(s) found.  (compared files:0  0KB)\n"), std::string::npos);
}

#ifndef _WIN32
TEST_F(CliTest, AnInterruptTakesTheStoppedEnding) {
  // Two equal sparse files of just over 4 GiB: long enough to interrupt, cheap on disk.
  for (const char* side : {"1", "2"}) {
    tree.File(std::string(side) + "/big");
    std::filesystem::resize_file(tree.FsPath(std::string(side) + "/big"), (int64_t(1) << 32) + 8);
    tree.File(std::string(side) + "/other", "o");
  }
  tree.File("1/orphan", "");
  ProcessResult r = Cli({Path("1"), Path("2")}, 300);
  EXPECT_EQ(r.status, 130);
  ASSERT_GE(r.out.size(), 9u);
  EXPECT_EQ(r.out.substr(r.out.size() - 9), "Stopped.\n");
  EXPECT_EQ(r.out.find("error(s)"), std::string::npos);
  EXPECT_EQ(r.out.find("orphan"), std::string::npos);
}

TEST_F(CliTest, ControlCharactersInNamesAreEscapedSoAFindingStaysOneLine) {
  tree.File("1/line\nfeed", "1");
  tree.File("2/line\nfeed", "2");
  tree.File("1/carriage\rreturn", "");
  tree.File("2/tab\tand\x1b\x7f", "");
  ProcessResult r = Cli({Path("1"), Path("2")});
  std::string out = r.out;
  // Walk 1 lists Folder 2's files in enumeration order; only the lines matter here.
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(out.substr(start, end - start));
  std::vector<std::string> expected = {
      Path("1") + "/line\\nfeed and " + Path("2") + "/line\\nfeed differ in contents.",
      Orphan("1", "carriage\\rreturn"), Orphan("2", "tab\\tand\\x1b\\x7f")};
  ASSERT_EQ(lines.size(), 4u) << out;
  EXPECT_EQ(lines.back(), "3 error(s) found.  (compared files:0  0KB)");
  lines.pop_back();
  std::sort(lines.begin(), lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(lines, expected);
}

// Chains of LEVELS folders "d" on both sides whose files "f" at the end differ: the chain's
// text below each side (empty where it could not be made).
std::string MakeChains(TempTree& tree, int levels) {
  for (const char* side : {"1", "2"}) {
    const int deepest = MakeChain(tree.Folder(side), "d", levels);
    if (deepest < 0) return {};
    const bool written = WriteFileAt(deepest, "f", side);
    ::close(deepest);
    if (!written) return {};
  }
  std::string chain;
  for (int i = 0; i < levels; ++i) chain += "/d";
  return chain;
}

TEST_F(CliTest, A2000LevelChainUnderA1MiBStackLimit) {
  const int kLevels = 2000;
  const std::string chain = MakeChains(tree, kLevels);
  ASSERT_FALSE(chain.empty());
  ProcessResult r = RunProcess({"/bin/sh", "-c", "ulimit -s 1024 && exec \"$0\" -r \"$1\" \"$2\"",
                                VemoCliPath(), Path("1"), Path("2")});
  EXPECT_EQ(r.out, Path("1") + chain + "/f and " + Path("2") + chain +
                       "/f differ in contents.\n1 error(s) found.  (compared files:0  0KB)\n");
  EXPECT_EQ(r.status, 1);
}

// The deepest tree Windows can hold, under the smallest limits on open descriptors a system
// sets: the walk holds a bounded number of folders whatever the depth.
TEST_F(CliTest, TheDeepestChainUnderATightLimitOnOpenDescriptors) {
#ifdef VEMO_THREAD_SANITIZER
  // The thread sanitizer's own records grow with the depth of the walk's stack (gigabytes at a few
  // thousand levels): a chain of 2,100 levels, still far deeper than the folders the walk holds.
  const int kLevels = 2100;
#else
  const int kLevels = 16384;
#endif
  const std::string chain = MakeChains(tree, kLevels);
  ASSERT_FALSE(chain.empty());
  const std::string expected =
      Path("1") + chain + "/f and " + Path("2") + chain +
      "/f differ in contents.\n1 error(s) found.  (compared files:0  0KB)\n";
  for (const char* limit : {"256", "1024"}) {
    ProcessResult r =
        RunProcess({"/bin/sh", "-c", "ulimit -n \"$0\" && exec \"$1\" -r \"$2\" \"$3\"", limit,
                    VemoCliPath(), Path("1"), Path("2")});
    EXPECT_EQ(r.out, expected) << "at most " << limit << " descriptors: " << r.err;
    EXPECT_EQ(r.status, 1) << "at most " << limit << " descriptors";
  }
  for (const char* side : {"1", "2"}) RemoveDeepFolder(Path(side));
}
#endif

#ifdef _WIN32
// vemo-cli shares the console of whoever started it (a command prompt): it draws its progress
// line on that console and puts back the output code page and the console mode it changed,
// when it ends and also after Ctrl-C.
class CliConsoleTest : public CliTest {
 protected:
  void SetUp() override {
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    SetConsoleOutputCP(850);
    GetConsoleMode(screen, &mode);
    SetConsoleMode(screen, mode & ~ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    GetConsoleMode(screen, &mode);
  }
  void TearDown() override {
    CloseHandle(screen);
    SetConsoleCtrlHandler(nullptr, FALSE);
    FreeConsole();
  }
  // Runs vemo-cli with its progress on the console; Ctrl-C after the given time (or none).
  int RunOnConsole(const std::vector<std::string>& args, int interruptAfterMs = -1) {
    std::wstring line = L"\"" + ToWide(VemoCliPath()) + L"\"";
    for (const std::string& arg : args) line += L" \"" + ToWide(arg) + L"\"";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = nul;
    si.hStdError = screen;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi))
      return -1;
    CloseHandle(nul);
    if (interruptAfterMs >= 0 &&
        WaitForSingleObject(pi.hProcess, interruptAfterMs) == WAIT_TIMEOUT) {
      // Ctrl-C reaches every program on the console; the test itself ignores it (a flag that
      // vemo-cli would have inherited had it been set before).
      SetConsoleCtrlHandler(nullptr, TRUE);
      GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    }
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0)
      TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<int>(code);
  }
  void ExpectConsoleAsFound() {
    EXPECT_EQ(GetConsoleOutputCP(), 850u);
    DWORD now = 0;
    GetConsoleMode(screen, &now);
    EXPECT_EQ(now, mode);
  }
  HANDLE screen = INVALID_HANDLE_VALUE;
  DWORD mode = 0;
};

TEST_F(CliConsoleTest, TheConsoleIsLeftAsItWasFound) {
  tree.File("1/a", "same");
  tree.File("2/a", "same");
  EXPECT_EQ(RunOnConsole({Path("1"), Path("2")}), 0);
  ExpectConsoleAsFound();
}

TEST_F(CliConsoleTest, AfterCtrlCTheConsoleIsLeftAsItWasFound) {
  for (const char* side : {"1", "2"}) {
    tree.File(std::string(side) + "/big");
    std::filesystem::resize_file(tree.FsPath(std::string(side) + "/big"), (int64_t(1) << 32) + 8);
  }
  EXPECT_EQ(RunOnConsole({Path("1"), Path("2")}, 500), 130);
  ExpectConsoleAsFound();
}
#endif

}  // namespace
}  // namespace vemo::test
