// Progress figures, unit conversions at their thresholds, the summary, and the message texts.
#include <gtest/gtest.h>

#include "engine/messages.h"
#include "engine/progress_format.h"

namespace vemo {
namespace {

TEST(SizeFormat, RunSizeSwitchesToMegabytesAt1310720Units) {
    EXPECT_EQ(runSizeText(0, 0), "    0/    0KB");
    EXPECT_EQ(runSizeText(128, 1310719), "    1/10239KB");
    EXPECT_EQ(runSizeText(131072, 1310720), "    1/   10MB");
    EXPECT_EQ(runSizeText(123456789, 223456789), "  941/ 1704MB");
    // Beyond the 32-bit range (trees over 16 GiB) the figures keep counting.
    EXPECT_EQ(runSizeText(int64_t(1) << 32, int64_t(1) << 33), "32768/65536MB");
}

TEST(SizeFormat, FileSizeIsInBytesAndSwitchesAt10MiB) {
    EXPECT_EQ(fileSizeText(0, 5000), "    0/    4KB");
    EXPECT_EQ(fileSizeText(10240, 10485759), "   10/10239KB");
    EXPECT_EQ(fileSizeText(1 << 20, 10485760), "    1/   10MB");
    EXPECT_EQ(fileSizeText(0, (int64_t(1) << 32) + 8), "    0/ 4096MB");
}

TEST(SizeFormat, BarPositionsAndPercentKeepTheirDivisorsAboveZero) {
    EXPECT_EQ(runBarPosition(0, 0), 1);
    EXPECT_EQ(runBarPosition(5000, 0), 5001);  // above the maximum: a full bar
    EXPECT_EQ(runBarPosition(1023, 1023), 1024);
    EXPECT_EQ(runBarPosition(1024, 1024), 513);
    EXPECT_EQ(fileBarPosition(0, 5000), 1);
    EXPECT_EQ(fileBarPosition(2500, 5000), 501);
    EXPECT_EQ(fileBarPosition(700, 700), 701);
    EXPECT_EQ(runPercent(50, 99), 50);  // T below 100 units: the compared size itself
    EXPECT_EQ(runPercent(500, 1000), 45);
    EXPECT_EQ(percentTitle(5), "05% - Vemo");
    EXPECT_EQ(percentTitle(100), "100% - Vemo");
    EXPECT_EQ(sizeUnits(7), 0);
    EXPECT_EQ(sizeUnits(8), 1);
    EXPECT_EQ(sizeUnits(1000), 125);
}

TEST(Summary, TwoBlanksBetweenCountAndSizeAndTheUnitFollowsTheComparedSize) {
    EXPECT_EQ(summaryText(0, 2, 0), "No difference found.   (compared files:2  0KB)");
    EXPECT_EQ(summaryText(3, 1, 1310719), "3 error(s) found.  (compared files:1  10239KB)");
    EXPECT_EQ(summaryText(0, 7, 1310720), "No difference found.   (compared files:7  10MB)");
    EXPECT_EQ(summaryFirstPart(1, 0), "1 error(s) found.  (compared files:0 ");
}

TEST(Messages, EnglishAndJapaneseTextsWithTheirArgumentsInOrder) {
    EXPECT_EQ(formatMessage(Message::NoFileFound, 0, "C:\\Data\\*.*"), "C:\\Data\\*.* : No file found.");
    EXPECT_EQ(formatMessage(Message::InvalidFile, 0, "p"), "p : Invalid file.");
    EXPECT_EQ(formatMessage(Message::DirSearchError, 0, "p"), "p : Directory searching error.");
    EXPECT_EQ(formatMessage(Message::CantOpen, 0, "f"), "Can't open : f");
    EXPECT_EQ(formatMessage(Message::Longer, 0, "long", "short"), "long is longer than short .");
    EXPECT_EQ(formatMessage(Message::Differ, 0, "a", "b"), "a and b differ in contents.");
    EXPECT_EQ(formatMessage(Message::NoCounterpart, 0, "C:\\D", "x"),
              "C:\\D\\x does'nt exist in another folder.");
    EXPECT_EQ(formatMessage(Message::NoCounterpart, 0, "/d", "x", '/'), "/d/x does'nt exist in another folder.");

    EXPECT_EQ(formatMessage(Message::NoFileFound, 1, "p"), "p : 一致するファイルが見つかりません。");
    EXPECT_EQ(formatMessage(Message::InvalidFile, 1, "p"), "p : 無効なファイルを指定しました。");
    EXPECT_EQ(formatMessage(Message::DirSearchError, 1, "p"), "p : ディレクトリ検索エラーです。");
    EXPECT_EQ(formatMessage(Message::CantOpen, 1, "f"), "f が開けません。");
    EXPECT_EQ(formatMessage(Message::Longer, 1, "long", "short"), "long は short より長いファイルです。");
    EXPECT_EQ(formatMessage(Message::Differ, 1, "a", "b"), "a と b は内容が一致しません。");
    EXPECT_EQ(formatMessage(Message::NoCounterpart, 1, "D", "x"), "D\\x は片側のフォルダにのみ存在します。");
}

TEST(Messages, PercentSignsAndLongPathsInArgumentsAreCopiedAsTheyAre) {
    std::string path(5000, 'x');
    path += "%s%d";
    EXPECT_EQ(formatMessage(Message::CantOpen, 0, path), "Can't open : " + path);
}

}  // namespace
}  // namespace vemo
