#include "ui/main/folder_side.h"

#include <exception>

#include "ui/main/settings_texts.h"
#include "ui/windows/forms.h"

namespace vemo::mainwin {

FolderSide Side(int index) {
  auto& form = *Form1;
  if (index == 0) return {form.Edit1, form.DirectoryListBox1, form.DriveComboBox1};
  return {form.Edit2, form.DirectoryListBox2, form.DriveComboBox2};
}

void DriveChange(const FolderSide& side) {
  try {
    side.list.SetDrive(side.drive.Drive());
  } catch (const std::exception&) {
    // A drive that is not ready: the list keeps its folder, no message.
  }
  side.edit.SetText(DriveRoot(side.drive.Drive()));
}

void FolderListChange(const FolderSide& side) { side.edit.SetText(side.list.Directory()); }

bool MoveToPath(const FolderSide& side, const std::string& path) {
  if (path.empty()) return false;
  try {
    side.drive.SetDrive(path[0]);
    side.list.SetDrive(path[0]);
    side.list.SetDirectory(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void BindFolderHandlers() {
  auto& form = *Form1;
  form.DriveComboBox1.OnChange = [] { DriveChange(Side(0)); };
  form.DriveComboBox2.OnChange = [] { DriveChange(Side(1)); };
  form.DirectoryListBox1.OnChange = [] { FolderListChange(Side(0)); };
  form.DirectoryListBox2.OnChange = [] { FolderListChange(Side(1)); };
}

}  // namespace vemo::mainwin
