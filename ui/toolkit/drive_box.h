// The drive box: a drop-down list of the machine's drives holding one selected letter.
// OnChange runs when the user picks another drive, and when SetDrive is given a letter other
// than the one held (compared without regard to case); the letter it already holds runs
// nothing. A drive that is not ready can still be held: the box shows its letter.
// The list comes from GetLogicalDrives and GetDriveTypeW, which answer at once; volume labels
// are asked off the user-interface thread (drives::DriveProbe) and shown when they arrive, so
// no drive holds up the window, neither at start-up nor when the list drops down. Every answer
// about a drive, whichever, also reaches OnDriveAnswer, so that what waited for that drive can
// go on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "control.h"

namespace vemo::ui {

class DriveBox : public WinControl {
 public:
  std::function<void()> OnChange;
  std::function<void(char letter)> OnDriveAnswer;

  // Starts at the drive of the process's current folder.
  DriveBox();
  ~DriveBox() override;
  void Create(WinControl& parent, const Layout& layout);
  void Relayout() override;
  bool TabStop() const override { return true; }

  // The held drive letter, upper case.
  char Drive() const { return drive_; }
  // Throws drives::FolderError when the character is no drive letter.
  void SetDrive(char letter);

  // The letters listed, in order (read afresh whenever the list drops down).
  const std::string& Letters() const { return letters_; }
  // Picks the drive at a list position as the user does.
  void PickEntry(int index);
  // The label shown beside a listed letter ("" while it is not known, or there is none).
  std::string Label(char letter) const;

  bool Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  void Fill();
  void SelectHeld();
  void Command(int code);
  void Draw(const DRAWITEMSTRUCT& item);
  void SizeBox();
  void ShowLabels();                  // the labels known now; the list redrawn when one changed
  static void Answered(char letter);  // user-interface thread

  char drive_;
  int boxHeight_ = 0;  // the closed box, layout units
  std::string letters_;
  std::vector<unsigned> types_;      // drive type per listed letter
  std::vector<std::string> labels_;  // volume label per listed letter
};

}  // namespace vemo::ui
