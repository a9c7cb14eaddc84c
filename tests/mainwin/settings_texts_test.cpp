#include "ui/main/settings_texts.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace vemo::mainwin;

namespace {
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  return lines;
}
}  // namespace

TEST(SettingsTexts, SeedSpansTheHourAndIgnoresIt) {
  EXPECT_EQ(SeedFromTime(0, 0, 0), 0u);
  EXPECT_EQ(SeedFromTime(59, 59, 99), 359999u);
  EXPECT_EQ(SeedFromTime(12, 34, 56), 12u * 6000 + 34 * 100 + 56);
  // Every (minute, second, hundredth) gives its own seed.
  EXPECT_NE(SeedFromTime(0, 1, 0), SeedFromTime(0, 0, 99));
  EXPECT_NE(SeedFromTime(1, 0, 0), SeedFromTime(0, 59, 99));
}

TEST(SettingsTexts, HelpHasThreeLinesWithTrailingBlanks) {
  std::vector<std::string> lines = Lines(kHelpMessage);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Sorry, Vemo has no help file." + std::string(28, ' '));
  EXPECT_EQ(lines[1], "See \"Vemo.TXT\"(Japanese only)." + std::string(28, ' '));
  EXPECT_EQ(lines[2], "I beleive Vemo is so easy that no help file is needed.");
}

TEST(SettingsTexts, LoadMessagesLineByLine) {
  EXPECT_EQ(Lines(kFirstRunMessage),
            (std::vector<std::string>{"Vemo is executed for the first time.",
                                      "A number of data will be generated in the REGISTRY.",
                                      "(HKEY_CURRENT_USER\\Software\\Pelk\\Vemo)",
                                      "Thank you for your utilization!"}));
  EXPECT_EQ(Lines(kOtherVersionMessage),
            (std::vector<std::string>{"Differnt version of Vemo is executed.",
                                      "All data in the registry were ignored."}));
}

TEST(SettingsTexts, DriveRootsAndDriveNames) {
  EXPECT_EQ(DriveRoot('c'), "C:\\");
  EXPECT_EQ(DriveRoot('Z'), "Z:\\");
  EXPECT_TRUE(NamesDrive("d:"));
  EXPECT_TRUE(NamesDrive("C:\\Windows"));
  EXPECT_FALSE(NamesDrive("\\\\server\\share"));
  EXPECT_FALSE(NamesDrive("relative\\path"));
  EXPECT_FALSE(NamesDrive("C"));
  EXPECT_FALSE(NamesDrive(""));
}

TEST(SettingsTexts, DropTextsFollowTheLanguage) {
  EXPECT_STREQ(DropRefusalText(0), "Can accept only ONE Folder");
  EXPECT_STREQ(DropQuestionText(0), "Which folder (1 or 2) do you want droped folder set?");
  EXPECT_STREQ(DropRefusalText(1),
               "ドラッグアンドドロップはひとつのフォルダのみサポートしています");
  EXPECT_STREQ(DropQuestionText(1), "ドロップされたフォルダは Folder 1/2 のどちらに設定しますか?");
}
