// The main window's settings in HKEY_CURRENT_USER\Software\Pelk\Vemo: loaded when the window
// is first shown, stored whenever it closes.
#pragma once

#include <string>

#include "ui/main/folder_side.h"

namespace vemo::mainwin {

// Show: accept dropped files, seed the generator from the local time, load the settings.
void FormShow();
// Close query: store every value; the close is never refused.
void FormCloseQuery(bool& canClose);

// Reads the key. No key: the first-run message; another version: the version message; a
// value absent or of another type stops the load with an error naming it (what was applied
// before it stays applied).
void LoadSettings();
// What a store writes, read from the windows at one moment.
struct SettingsValues {
  std::string version;
  int top = 0, left = 0;
  std::string folder1, folder2;
  bool anime = true, recursive = true, ignoreNoFile = false, ignoreCases = false;
  int language = 0;
};
SettingsValues CurrentSettings();
// Writes all eleven values: those given, or those of the windows now.
void StoreSettings(const SettingsValues& values);
void StoreSettings();
// Puts a stored folder text into a side: the edit box shows the text exactly; the drive box
// and the list follow it as far as they can.
void RestoreFolder(const FolderSide& side, const std::string& stored);

void BindSettingsHandlers();

}  // namespace vemo::mainwin
