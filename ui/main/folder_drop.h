// A folder dropped from the shell onto the main window becomes Folder 1 or Folder 2.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace vemo::mainwin {

// Handles one drop and releases its data. More or fewer than one item are refused with a
// message; one item is put to the question dialog, and the chosen side moves to it.
void HandleDrop(HDROP drop);

void BindDropHandler();

}  // namespace vemo::mainwin
