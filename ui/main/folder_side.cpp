#include "ui/main/folder_side.h"

#include <exception>

#include "ui/main/settings_texts.h"
#include "ui/toolkit/drives.h"
#include "ui/windows/forms.h"

namespace vemo::mainwin {
namespace {

// A move waiting for a drive's answer, and what its side showed when it began to wait.
struct Waiting {
  char letter = 0;
  unsigned answers = 0;  // the drive's answers when the move began to wait
  std::function<void()> again;
  std::string text, folder;
  char drive = 0;
};

Waiting& WaitingOf(const FolderSide& side) {
  static Waiting waiting[2];
  return waiting[side.index];
}

}  // namespace

FolderSide Side(int index) {
  auto& form = *Form1;
  if (index == 0) return {form.Edit1, form.DirectoryListBox1, form.DriveComboBox1, 0};
  return {form.Edit2, form.DirectoryListBox2, form.DriveComboBox2, 1};
}

void DriveChange(const FolderSide& side) {
  const char letter = side.drive.Drive();
  bool moved = true;
  try {
    side.list.SetDrive(letter);
  } catch (const std::exception&) {
    // A drive that is not ready: the list keeps its folder, no message.
    moved = false;
  }
  side.edit.SetText(DriveRoot(letter));
  const int index = side.index;
  if (!moved) AgainWhenAnswered(side, letter, [index] { DriveChange(Side(index)); });
}

bool FollowPath(const FolderSide& side, const std::string& path, bool exactText) {
  side.edit.SetText(path);
  if (MoveToPath(side, path)) {
    if (exactText) side.edit.SetText(path);
    return true;
  }
  if (path.empty()) return false;
  const int index = side.index;
  AgainWhenAnswered(side, path[0],
                    [index, path, exactText] { FollowPath(Side(index), path, exactText); });
  return false;
}

void AgainWhenAnswered(const FolderSide& side, char letter, std::function<void()> again) {
  Waiting& waiting = WaitingOf(side);
  waiting = Waiting{};
  letter = ui::drives::UpperLetter(letter);
  const unsigned answers = ui::drives::Answers(letter);  // before: an answer now is news
  if (ui::drives::DriveReadiness(letter) != ui::drives::Readiness::Asking) return;
  waiting = Waiting{letter,
                    answers,
                    std::move(again),
                    side.edit.Text(),
                    side.list.Directory(),
                    side.drive.Drive()};
}

void DriveAnswered(const FolderSide& side, char letter) {
  Waiting& waiting = WaitingOf(side);
  // Only an answer given after the move began to wait (the news of an earlier one may still be
  // on its way).
  if (!waiting.again || waiting.letter != letter || ui::drives::Answers(letter) == waiting.answers)
    return;
  const Waiting was = std::move(waiting);
  waiting = Waiting{};
  // A run (or a dialog) holds the window: the user has moved on, and nothing changes under it.
  if (!IsWindowEnabled(Form1->Handle())) return;
  if (side.edit.Text() != was.text || side.list.Directory() != was.folder ||
      side.drive.Drive() != was.drive)
    return;  // the user has moved on
  if (ui::drives::IsReady(letter)) was.again();
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
  form.DriveComboBox1.OnDriveAnswer = [](char letter) { DriveAnswered(Side(0), letter); };
  form.DriveComboBox2.OnDriveAnswer = [](char letter) { DriveAnswered(Side(1), letter); };
}

}  // namespace vemo::mainwin
