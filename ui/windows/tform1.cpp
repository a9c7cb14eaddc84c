#include "ui/windows/tform1.h"

#include "assets/art_ids.h"
#include "ui/windows/layouts.h"

namespace vemo {

using ui::Layout;
using ui::MakeFont;

const WindowLayout& Form1Layout() {
  static const WindowLayout layout = [] {
    const auto bold16 = MakeFont(16, true, false, true);
    const auto black12 = MakeFont(12, false, false, true);
    const auto pathBlack12 = ui::PathFont(black12);
    const auto black13 = MakeFont(13, false, false, true);
    return WindowLayout{
        ui::FormSpec{"Form1", "Vemo", ui::BorderStyle::Single, ui::FormPosition::System, 632, 434,
                     false, MakeFont(12)},
        {ui::Layout{"GroupBox3", 8, 352, 305, 73, "Options", MakeFont(12, true, false, true), 15},
         ui::Layout{"Button3", 536, 400, 89, 26, u8"比較停止", black12, 11},
         ui::Layout{"GroupBox2", 320, 8, 305, 337, "Folder 2", bold16, 14},
         ui::Layout{"GroupBox1", 8, 8, 305, 337, "Folder 1", bold16, 13},
         ui::Layout{"Button1", 320, 400, 305, 26, "Exit", bold16, 12},
         ui::Layout{"DirectoryListBox1", 16, 64, 289, 249, "", {}, 1},
         ui::Layout{"DriveComboBox1", 16, 320, 289, 18, "", {}, 2},
         ui::Layout{"DirectoryListBox2", 328, 64, 289, 249, "", {}, 4},
         ui::Layout{"DriveComboBox2", 328, 320, 289, 18, "", {}, 5},
         ui::Layout{"Button2", 320, 352, 209, 44, "Start", bold16, 9},
         ui::Layout{"Edit1", 16, 32, 289, 20, "Folder 1", pathBlack12, 0},
         ui::Layout{"Edit2", 328, 32, 289, 20, "Folder 2", pathBlack12, 3},
         ui::Layout{"Button4", 536, 352, 89, 41, "Error Info...", black13, 10},
         ui::Layout{"CheckBox2", 16, 368, 289, 17, "Recursive comparing to sub folders", black13,
                    6},
         ui::Layout{"CheckBox3",
                    16,
                    384,
                    289,
                    17,
                    "Ignore NoFile-Error in another folder to compare",
                    {},
                    7},
         ui::Layout{"CheckBox1", 16, 400, 289, 17, "Ignore Cases of filenames to compare", black13,
                    8}}};
  }();
  return layout;
}

TForm1::TForm1() {
  const WindowLayout& layout = Form1Layout();
  CreateForm(layout.frame);
  SetIcon(ART_APP_ICON);

  GroupBox3.Create(*this, layout.At("GroupBox3"));
  Button3.Create(*this, layout.At("Button3"));
  Button3.SetEnabled(false);
  GroupBox2.Create(*this, layout.At("GroupBox2"));
  GroupBox1.Create(*this, layout.At("GroupBox1"));
  Button1.Create(*this, layout.At("Button1"));
  DirectoryListBox1.Create(*this, layout.At("DirectoryListBox1"));
  DriveComboBox1.Create(*this, layout.At("DriveComboBox1"));
  DirectoryListBox2.Create(*this, layout.At("DirectoryListBox2"));
  DriveComboBox2.Create(*this, layout.At("DriveComboBox2"));
  Button2.Create(*this, layout.At("Button2"));
  Button2.SetDefault(true);
  Edit1.Create(*this, layout.At("Edit1"));
  Edit1.SetMaxLength(255);
  Edit2.Create(*this, layout.At("Edit2"));
  Edit2.SetMaxLength(255);
  Button4.Create(*this, layout.At("Button4"));
  CheckBox2.Create(*this, layout.At("CheckBox2"));
  CheckBox2.SetChecked(true);
  CheckBox3.Create(*this, layout.At("CheckBox3"));
  CheckBox1.Create(*this, layout.At("CheckBox1"));
  Timer1.Create("Timer1", 100, false);
  // What assistive technology reads for the controls that have no label of their own.
  const std::pair<ui::WinControl*, const char*> labels[] = {
      {&Edit1, "Folder 1"},
      {&DirectoryListBox1, "Folder 1 folders"},
      {&DriveComboBox1, "Folder 1 drive"},
      {&Edit2, "Folder 2"},
      {&DirectoryListBox2, "Folder 2 folders"},
      {&DriveComboBox2, "Folder 2 drive"}};
  for (auto [control, label] : labels) control->SetAccessibleLabel(label);
  CreateMenus();
}

void TForm1::CreateMenus() {
  MainMenu1.Create("MainMenu1");
  FileF1.Create(MainMenu1, "FileF1", "File(&F)");
  CompareC1.Create(FileF1, "CompareC1", "Compare(&C)");
  ExitX1.Create(FileF1, "ExitX1", "Exit(&X)");

  View1.Create(MainMenu1, "View1", "View(&V)");
  ErrorInfoE1.Create(View1, "ErrorInfoE1", "Error Infomation(&E)");

  OptionO1.Create(MainMenu1, "OptionO1", "Option(&O)");
  RecursiveR1.Create(OptionO1, "RecursiveR1", "Recursive(&R)");
  IgnoreNoFileN1.Create(OptionO1, "IgnoreNoFileN1", "Ignore NoFile(&N)");
  IgnoreCasesOfFilenameC1.Create(OptionO1, "IgnoreCasesOfFilenameC1",
                                 "Ignore Cases of Filenames(&C)");
  N1.Create(OptionO1, "N1", "--------");  // an ordinary item, not a separator
  AnimationA1.Create(OptionO1, "AnimationA1", "Animation(&A)");
  for (ui::MenuItem* item : {&RecursiveR1, &IgnoreNoFileN1, &IgnoreCasesOfFilenameC1, &AnimationA1})
    item->SetRadioItem(true);
  RecursiveR1.SetChecked(true);
  AnimationA1.SetChecked(true);
  N1.SetEnabled(false);

  Language.Create(MainMenu1, "Language", "Language(&L)");
  English.Create(Language, "English", "English(&E)");
  Japanese.Create(Language, "Japanese", "Japanese(&J)");
  for (ui::MenuItem* item : {&English, &Japanese}) {
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
  }
  English.SetChecked(true);
  English.SetDefault(true);
  Japanese.SetEnabled(false);

  HelpH1.Create(MainMenu1, "HelpH1", "Help(&H)");
  AboutA1.Create(HelpH1, "AboutA1", "About(&A)");
  HelphH1.Create(HelpH1, "HelphH1", "Help(&H)");
  SetMenu(MainMenu1);
}

}  // namespace vemo
