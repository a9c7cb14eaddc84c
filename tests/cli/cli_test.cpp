// The real vemo-cli on prepared trees: standard output, summary line, exit status.
#include <gtest/gtest.h>

#include <fstream>

#include "run_process.h"
#include "tests/support/temp_tree.h"

namespace vemo::test {
namespace {

class CliTest : public ::testing::Test {
protected:
    TempTree tree;
    std::string p(const std::string& rel) const { return tree.path(rel); }
    ProcessResult cli(std::vector<std::string> args, int interruptAfterMs = -1) {
        args.insert(args.begin(), vemoCliPath());
        return runProcess(args, interruptAfterMs);
    }
    std::string orphan(const std::string& folder, const std::string& name) const {
        char sep = tree.path("a/b")[tree.path("a").size()];
        return p(folder) + sep + name + " does'nt exist in another folder.";
    }
};

TEST_F(CliTest, UsageErrorsPrintUsageOnStandardErrorOnly) {
    for (std::vector<std::string> args : {std::vector<std::string>{}, {"one"}, {"a", "b", "c"},
                                          {"-x", "a", "b"}, {"--bogus", "a", "b"}}) {
        ProcessResult r = cli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: vemo-cli [-r|--recursive] [-i|--ignore-case] [-n|--ignore-nofile] "
                             "[--japanese] FOLDER1 FOLDER2"),
                  std::string::npos);
    }
}

TEST_F(CliTest, EqualTreesPrintNoErrorAndTheSummary) {
    for (const char* side : {"1", "2"}) {
        tree.file(std::string(side) + "/a", std::string(20000, 'a'));
        tree.file(std::string(side) + "/s/b", "b");
        tree.file(std::string(side) + "/s/t/c", "");
    }
    ProcessResult r = cli({"-r", p("1"), p("2")});
    EXPECT_EQ(r.out, "No error.\nNo difference found.   (compared files:3  19KB)\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");  // no terminal: no progress display
    r = cli({p("1"), p("2")});
    EXPECT_EQ(r.out, "No error.\nNo difference found.   (compared files:1  19KB)\n");
}

TEST_F(CliTest, FindingsThenTheErrorSummaryAndStatus1) {
    tree.file("1/same", "x");
    tree.file("2/same", "x");
    tree.file("1/diff", "1");
    tree.file("2/DIFF", "2");
    tree.file("1/only1", "");
    tree.folder("1/sub1");
    ProcessResult r = cli({"--ignore-case", "--recursive", p("1"), p("2")});
    // The pre-scan's line for sub1 is dropped; the comparison reports it once.
    EXPECT_EQ(r.out, p("1/diff") + " and " + p("2/DIFF") + " differ in contents.\n" +
                         orphan("1", "only1") + "\n" + orphan("1", "sub1") + "\n" +
                         "3 error(s) found.  (compared files:1  0KB)\n");
    EXPECT_EQ(r.status, 1);
    r = cli({"-rin", p("1"), p("2")});
    EXPECT_EQ(r.out, p("1/diff") + " and " + p("2/DIFF") + " differ in contents.\n" +
                         "1 error(s) found.  (compared files:1  0KB)\n");
}

TEST_F(CliTest, JapaneseLinesAndAMissingFolder) {
    tree.file("2/名前", "");
    ProcessResult r = cli({"--japanese", "--", p("none"), p("2")});
    std::string sep(1, tree.path("a/b")[tree.path("a").size()]);
    EXPECT_EQ(r.out, p("none") + sep + "*.* : 一致するファイルが見つかりません。\n" + p("2") + sep +
                         "名前 は片側のフォルダにのみ存在します。\n2 error(s) found.  (compared files:0  0KB)\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(CliTest, ManyLinesComeOutWholeAndInOrder) {
    for (int i = 0; i < 3000; ++i) tree.file("1/f" + std::to_string(i), "");
    tree.folder("2");
    ProcessResult r = cli({p("1"), p("2")});
    size_t lines = 0;
    for (char c : r.out) lines += c == '\n';
    EXPECT_EQ(lines, 3001u);
    EXPECT_NE(r.out.find("3000 error(s) found.  (compared files:0  0KB)\n"), std::string::npos);
}

#ifndef _WIN32
TEST_F(CliTest, AnInterruptTakesTheStoppedEnding) {
    // Two equal sparse files of just over 4 GiB: long enough to interrupt, cheap on disk.
    for (const char* side : {"1", "2"}) {
        tree.file(std::string(side) + "/big");
        std::filesystem::resize_file(tree.fsPath(std::string(side) + "/big"), (int64_t(1) << 32) + 8);
        tree.file(std::string(side) + "/other", "o");
    }
    tree.file("1/orphan", "");
    ProcessResult r = cli({p("1"), p("2")}, 300);
    EXPECT_EQ(r.status, 130);
    ASSERT_GE(r.out.size(), 9u);
    EXPECT_EQ(r.out.substr(r.out.size() - 9), "Stopped.\n");
    EXPECT_EQ(r.out.find("error(s)"), std::string::npos);
    EXPECT_EQ(r.out.find("orphan"), std::string::npos);
}
#endif

}  // namespace
}  // namespace vemo::test
