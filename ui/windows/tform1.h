// The main window: both folders with their edit box, folder list and drive box, the options,
// Start / Exit / Error Info buttons, the menu bar and the timer of the progress animation.
// Its behaviour is bound from ui/main (folders, options, settings, drop) and run/ (Start,
// Timer1): assign the On... members of the controls and of the form.
#pragma once
#include "ui/toolkit/button.h"
#include "ui/toolkit/check_box.h"
#include "ui/toolkit/drive_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/folder_list.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/group_box.h"
#include "ui/toolkit/menu.h"
#include "ui/toolkit/timer.h"

namespace vemo {

class TForm1 : public ui::Form {
 public:
  TForm1();

  // Windowed controls in creation order (back to front).
  ui::GroupBox GroupBox3;
  ui::Button Button3;
  ui::GroupBox GroupBox2;
  ui::GroupBox GroupBox1;
  ui::Button Button1;
  ui::FolderList DirectoryListBox1;
  ui::DriveBox DriveComboBox1;
  ui::FolderList DirectoryListBox2;
  ui::DriveBox DriveComboBox2;
  ui::Button Button2;
  ui::Edit Edit1;
  ui::Edit Edit2;
  ui::Button Button4;
  ui::CheckBox CheckBox2;
  ui::CheckBox CheckBox3;
  ui::CheckBox CheckBox1;
  ui::Timer Timer1;

  ui::MainMenu MainMenu1;
  ui::MenuItem FileF1, CompareC1, ExitX1;
  ui::MenuItem View1, ErrorInfoE1;
  ui::MenuItem OptionO1, RecursiveR1, IgnoreNoFileN1, IgnoreCasesOfFilenameC1, N1, AnimationA1;
  ui::MenuItem Language, English, Japanese;
  ui::MenuItem HelpH1, AboutA1, HelphH1;

 private:
  void CreateMenus();
};

}  // namespace vemo
