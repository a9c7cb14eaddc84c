// Progress figures, unit conversions at their thresholds, the summary, and the message texts.
#include <gtest/gtest.h>

#include "engine/messages.h"
#include "engine/progress_format.h"

namespace vemo {
namespace {

TEST(SizeFormat, RunSizeSwitchesToMegabytesAt1310720Units) {
  EXPECT_EQ(RunSizeText(0, 0), "    0/    0KB");
  EXPECT_EQ(RunSizeText(128, 1310719), "    1/10239KB");
  EXPECT_EQ(RunSizeText(131072, 1310720), "    1/   10MB");
  EXPECT_EQ(RunSizeText(123456789, 223456789), "  941/ 1704MB");
  // Beyond the 32-bit range (trees over 16 GiB) the figures keep counting.
  EXPECT_EQ(RunSizeText(int64_t(1) << 32, int64_t(1) << 33), "32768/65536MB");
}

TEST(SizeFormat, FileSizeIsInBytesAndSwitchesAt10MiB) {
  EXPECT_EQ(FileSizeText(0, 5000), "    0/    4KB");
  EXPECT_EQ(FileSizeText(10240, 10485759), "   10/10239KB");
  EXPECT_EQ(FileSizeText(1 << 20, 10485760), "    1/   10MB");
  EXPECT_EQ(FileSizeText(0, (int64_t(1) << 32) + 8), "    0/ 4096MB");
}

TEST(SizeFormat, BarPositionsAndPercentKeepTheirDivisorsAboveZero) {
  EXPECT_EQ(RunBarPosition(0, 0), 1);
  EXPECT_EQ(RunBarPosition(5000, 0), 5001);  // above the maximum: a full bar
  EXPECT_EQ(RunBarPosition(1023, 1023), 1024);
  EXPECT_EQ(RunBarPosition(1024, 1024), 513);
  EXPECT_EQ(FileBarPosition(0, 5000), 1);
  EXPECT_EQ(FileBarPosition(2500, 5000), 501);
  EXPECT_EQ(FileBarPosition(700, 700), 701);
  EXPECT_EQ(RunPercent(50, 99), 50);  // T below 100 units: the compared size itself
  EXPECT_EQ(RunPercent(500, 1000), 45);
  EXPECT_EQ(PercentTitle(5), "05% - Vemo");
  EXPECT_EQ(PercentTitle(100), "100% - Vemo");
  EXPECT_EQ(SizeUnits(7), 0);
  EXPECT_EQ(SizeUnits(8), 1);
  EXPECT_EQ(SizeUnits(1000), 125);
}

TEST(Summary, TwoBlanksBetweenCountAndSizeAndTheUnitFollowsTheComparedSize) {
  EXPECT_EQ(SummaryText(0, 2, 0), "No difference found.   (compared files:2  0KB)");
  EXPECT_EQ(SummaryText(3, 1, 1310719), "3 error(s) found.  (compared files:1  10239KB)");
  EXPECT_EQ(SummaryText(0, 7, 1310720), "No difference found.   (compared files:7  10MB)");
  EXPECT_EQ(SummaryFirstPart(1, 0), "1 error(s) found.  (compared files:0 ");
}

TEST(Messages, EnglishAndJapaneseTextsWithTheirArgumentsInOrder) {
  EXPECT_EQ(FormatMessageText(MsgNoFileFound, 0, "C:\\Data\\*.*"),
            "C:\\Data\\*.* : No file found.");
  EXPECT_EQ(FormatMessageText(MsgInvalidFile, 0, "p"), "p : Invalid file.");
  EXPECT_EQ(FormatMessageText(MsgDirSearchError, 0, "p"), "p : Directory searching error.");
  EXPECT_EQ(FormatMessageText(MsgCantOpen, 0, "f"), "Can't open : f");
  EXPECT_EQ(FormatMessageText(MsgLonger, 0, "long", "short"), "long is longer than short .");
  EXPECT_EQ(FormatMessageText(MsgDiffer, 0, "a", "b"), "a and b differ in contents.");
  EXPECT_EQ(FormatMessageText(MsgNoCounterpart, 0, "C:\\D", "x"),
            "C:\\D\\x does'nt exist in another folder.");
  EXPECT_EQ(FormatMessageText(MsgNoCounterpart, 0, "/d", "x", '/'),
            "/d/x does'nt exist in another folder.");

  EXPECT_EQ(FormatMessageText(MsgNoFileFound, 1, "p"), "p : 一致するファイルが見つかりません。");
  EXPECT_EQ(FormatMessageText(MsgInvalidFile, 1, "p"), "p : 無効なファイルを指定しました。");
  EXPECT_EQ(FormatMessageText(MsgDirSearchError, 1, "p"), "p : ディレクトリ検索エラーです。");
  EXPECT_EQ(FormatMessageText(MsgCantOpen, 1, "f"), "f が開けません。");
  EXPECT_EQ(FormatMessageText(MsgLonger, 1, "long", "short"),
            "long は short より長いファイルです。");
  EXPECT_EQ(FormatMessageText(MsgDiffer, 1, "a", "b"), "a と b は内容が一致しません。");
  EXPECT_EQ(FormatMessageText(MsgNoCounterpart, 1, "D", "x"),
            "D\\x は片側のフォルダにのみ存在します。");
}

TEST(Messages, PercentSignsAndLongPathsInArgumentsAreCopiedAsTheyAre) {
  std::string path(5000, 'x');
  path += "%s%d";
  EXPECT_EQ(FormatMessageText(MsgCantOpen, 0, path), "Can't open : " + path);
}

}  // namespace
}  // namespace vemo
