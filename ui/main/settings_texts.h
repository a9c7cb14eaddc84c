// The main window's fixed texts and the window-free parts of its settings.
// Kept free of window code so that they build and test natively too.
#pragma once

#include <string>

namespace vemo::mainwin {

// The settings key under HKEY_CURRENT_USER (absolute from the root key).
inline constexpr const char* kSettingsKey = "\\Software\\Pelk\\Vemo";

// Value names, in the order the store writes them.
inline constexpr const char* kVersionValue = "Version";
inline constexpr const char* kWindowTopValue = "WindowTop";
inline constexpr const char* kWindowLeftValue = "WindowLeft";
inline constexpr const char* kFolder1Value = "Folder1";
inline constexpr const char* kFolder2Value = "Folder2";
inline constexpr const char* kAnimeValue = "Anime";
inline constexpr const char* kRecursiveValue = "Recursive";
inline constexpr const char* kIgnoreNoFileValue = "IgnoreNoFile";
inline constexpr const char* kIgnoreCasesValue = "IgnoreCases";
inline constexpr const char* kLanguageValue = "Language";
// The hint value: "inside information", inviting the user to pick up the folder that the
// progress animation carries. Written at every store, never read.
inline constexpr const char* kHintValue = "裏情報";
inline constexpr const char* kHintText = "ｱﾆﾒｰｼｮﾝで運ばれているﾌｫﾙﾀﾞをつまんでみよう!";

inline constexpr const char* kFirstRunMessage =
    "Vemo is executed for the first time.\n"
    "A number of data will be generated in the REGISTRY.\n"
    "(HKEY_CURRENT_USER\\Software\\Pelk\\Vemo)\n"
    "Thank you for your utilization!";
inline constexpr const char* kOtherVersionMessage =
    "Differnt version of Vemo is executed.\n"
    "All data in the registry were ignored.";
inline constexpr const char* kSettingsCaption = "Vemo";

inline constexpr const char* kExitQuestion = "Exit Vemo ?";

inline constexpr const char* kHelpCaption = "Vemo Help";
inline constexpr const char* kHelpMessage =
    "Sorry, Vemo has no help file.                            \n"
    "See \"Vemo.TXT\"(Japanese only).                            \n"
    "I beleive Vemo is so easy that no help file is needed.";

// The generator seed of a start: minute * 6000 + second * 100 + hundredths (0 to 359,999),
// so two starts at the same minute, second and hundredth of different hours seed alike.
inline unsigned SeedFromTime(int minute, int second, int hundredths) {
  return static_cast<unsigned>(minute * 6000 + second * 100 + hundredths);
}

// A stored or typed folder names a drive when its second character is ":".
inline bool NamesDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

// The root of a drive as the edit box shows it after a drive change: "C:\".
inline std::string DriveRoot(char letter) {
  char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
  return std::string(1, upper) + ":\\";
}

// The drop question dialog's texts, by language index (0 English, 1 Japanese).
inline const char* DropRefusalText(int language) {
  return language == 1 ? "ドラッグアンドドロップはひとつのフォルダのみサポートしています"
                       : "Can accept only ONE Folder";
}
inline const char* DropQuestionText(int language) {
  return language == 1 ? "ドロップされたフォルダは Folder 1/2 のどちらに設定しますか?"
                       : "Which folder (1 or 2) do you want droped folder set?";
}

}  // namespace vemo::mainwin
