// The three folder controls of one side of the main window, and what moves them.
#pragma once

#include <functional>
#include <string>

#include "ui/toolkit/drive_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/folder_list.h"

namespace vemo::mainwin {

struct FolderSide {
  ui::Edit& edit;
  ui::FolderList& list;
  ui::DriveBox& drive;
  int index;
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

// The edit box shows the path; the drive box and the list follow it as far as they can
// (MoveToPath), and again once a drive that was still being asked answers. With exactText the
// edit box shows the path exactly once the moves have gone through (a restored setting);
// otherwise the list's folder (a drop). True when the moves went through now.
bool FollowPath(const FolderSide& side, const std::string& path, bool exactText);

// After a move of the side that failed: when the drive it went to is still being asked
// (drives::Readiness::Asking), `again` runs once that drive has answered "ready", provided the
// side still shows what it showed now (anything the user did to the side meanwhile wins). One
// move waits per side: the last.
void AgainWhenAnswered(const FolderSide& side, char letter, std::function<void()> again);
// A drive has answered: the move that waited for it goes on.
void DriveAnswered(const FolderSide& side, char letter);

// Binds the drive boxes' and lists' change handlers.
void BindFolderHandlers();

}  // namespace vemo::mainwin
