// The three folder controls of one side of the main window, and what moves them.
#pragma once

#include <string>

#include "ui/toolkit/drive_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/folder_list.h"

namespace vemo::mainwin {

struct FolderSide {
  ui::Edit& edit;
  ui::FolderList& list;
  ui::DriveBox& drive;
};

// Side 0 is Folder 1, side 1 Folder 2.
FolderSide Side(int index);

// The drive box picked a drive: the list goes to that drive (a drive that is not ready is
// passed over silently), and the edit box names the drive's root.
void DriveChange(const FolderSide& side);
// The list moved: the edit box names its folder.
void FolderListChange(const FolderSide& side);

// Moves the drive box and the list to a folder path given as text (a restored setting, a
// dropped item): the drive of its first character, then the folder itself. Any error stops
// the moves silently; returns false then.
bool MoveToPath(const FolderSide& side, const std::string& path);

// Binds the drive boxes' and lists' change handlers.
void BindFolderHandlers();

}  // namespace vemo::mainwin
