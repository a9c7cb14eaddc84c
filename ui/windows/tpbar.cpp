#include "ui/windows/tpbar.h"

#include "assets/art_ids.h"

namespace vemo {

using ui::Layout;
using ui::MakeFont;
using ui::Picture;

TPBar::TPBar() {
  CreateForm({"PBar", "Vemo -  Comparing...", ui::BorderStyle::SingleNoSystem,
              ui::FormPosition::ScreenCenter, 427, 259, false, MakeFont(12)});
  auto bmp = [](int id) { return Picture::Bitmap(id); };
  auto icon = [](int id) { return Picture::Icon(id); };
  // The marks say how the run goes; the other pictures are the scene's decoration.
  const Picture check = icon(ART_CHECK_ICON).Named("Check mark, no errors");
  const Picture cross = icon(ART_CROSS_ICON).Named("Cross, errors found");
  ImageWhite.Create(*this, Layout{"ImageWhite", 120, 8, 297, 33}, bmp(ART_WHITE_STRIP), true);
  Label1.Create(*this, Layout{"Label1", 16, 16, 95, 13, "Now Comparing...",
                              MakeFont(13, false, false, true)});
  Image2.Create(*this, Layout{"Image2", 8, 120, 33, 33}, bmp(ART_WALK_LEFT_A), false);
  Image3.Create(*this, Layout{"Image3", 40, 120, 33, 33}, bmp(ART_WALK_LEFT_B), false);
  Image4.Create(*this, Layout{"Image4", 72, 120, 33, 33}, bmp(ART_STAND_LEFT), false);
  Image5.Create(*this, Layout{"Image5", 104, 120, 33, 33}, bmp(ART_ROPE_RIGHT_A), false);
  Image6.Create(*this, Layout{"Image6", 136, 120, 33, 33}, bmp(ART_ROPE_RIGHT_B), false);
  Image7.Create(*this, Layout{"Image7", 168, 120, 33, 33}, bmp(ART_ROPE_STAND), false);
  ImFolder1.Create(*this, Layout{"ImFolder1", 128, 8, 57, 33}, bmp(ART_FOLDER_DOC), true);
  ImFolder2.Create(*this, Layout{"ImFolder2", 384, 8, 33, 33}, bmp(ART_FOLDER_DOC), true);
  ImFolder12.Create(*this, Layout{"ImFolder12", 200, 120, 65, 33}, bmp(ART_ROPE_WORK_1), false);
  ImFolder13.Create(*this, Layout{"ImFolder13", 264, 120, 57, 33}, bmp(ART_ROPE_WORK_2), false);
  ImFolder14.Create(*this, Layout{"ImFolder14", 320, 120, 33, 33}, bmp(ART_FOLDER_ROPE), false);
  ImFolderOrg.Create(*this, Layout{"ImFolderOrg", 352, 120, 33, 33}, bmp(ART_FOLDER_DOC), false);
  Image1.Create(*this, Layout{"Image1", 352, 8, 33, 33}, bmp(ART_STAND_LEFT), true);
  ImageOrg.Create(*this, Layout{"ImageOrg", 384, 120, 33, 33}, bmp(ART_STAND_RIGHT), false);
  ImChk1.Create(*this, Layout{"ImChk1", 376, 8, 33, 33}, check, false);
  ImChk2.Create(*this, Layout{"ImChk2", 312, 8, 33, 33}, check, false);
  ImJp1.Create(*this, Layout{"ImJp1", 8, 216, 33, 33}, bmp(ART_FRONT_STAND), false);
  ImJp2.Create(*this, Layout{"ImJp2", 40, 216, 33, 33}, bmp(ART_JUMP), false);
  ImBatsu.Create(*this, Layout{"ImBatsu", 72, 216, 33, 33}, cross, false);
  ImCheck.Create(*this, Layout{"ImCheck", 104, 216, 33, 33}, check, false);
  ImNaki1.Create(*this, Layout{"ImNaki1", 136, 216, 33, 33}, bmp(ART_CRY_1), false);
  ImNaki2.Create(*this, Layout{"ImNaki2", 168, 216, 33, 33}, bmp(ART_CRY_2), false);
  ImAse1.Create(*this, Layout{"ImAse1", 200, 216, 33, 33}, bmp(ART_SWEAT_1), false);
  ImAse2.Create(*this, Layout{"ImAse2", 232, 216, 33, 33}, bmp(ART_SWEAT_2), false);
  ImAse3.Create(*this, Layout{"ImAse3", 264, 216, 33, 33}, bmp(ART_SWEAT_3), false);
  ImAse4.Create(*this, Layout{"ImAse4", 296, 216, 33, 33}, bmp(ART_SWEAT_4), false);

  GroupBox1.Create(*this, Layout{"GroupBox1", 8, 40, 409, 81, "Entire Process",
                                 MakeFont(16, true, false, true), 0});
  ProgressBar2.Create(GroupBox1, Layout{"ProgressBar2", 8, 48, 393, 25, "", {}, 0});
  Panel3.Create(GroupBox1, Layout{"Panel3", 272, 16, 129, 25, "", {}, 1});
  Panel3.SetAlignment(ui::Alignment::Right);
  Panel3.SetBorderWidth(4);
  GroupBox2.Create(*this, Layout{"GroupBox2", 8, 128, 409, 89, "Files Now Comparing",
                                 MakeFont(13, false, false, true), 3});
  ProgressBar1.Create(GroupBox2, Layout{"ProgressBar1", 8, 40, 393, 17, "", {}, 0});
  Panel1.Create(GroupBox2, Layout{"Panel1", 8, 64, 393, 17, "Comparing...",
                                  ui::PathFont(MakeFont(12, false, false, true)), 1});
  Panel1.SetAlignment(ui::Alignment::Left);
  Panel1.SetBorderWidth(4);
  Panel2.Create(GroupBox2, Layout{"Panel2", 272, 16, 129, 17, "", {}, 2});
  Panel2.SetAlignment(ui::Alignment::Right);
  Panel2.SetBorderWidth(4);
  Stop.Create(
      *this, Layout{"Stop", 8, 224, 297, 33, "Stop Comparing", MakeFont(16, true, false, true), 1});
  BitBtn2.Create(*this, Layout{"BitBtn2", 312, 224, 105, 33, "Emergency Exit",
                               MakeFont(13, false, false, true), 2});
  // What assistive technology reads for the bars, and for a panel while it is empty.
  const std::pair<ui::WinControl*, const char*> labels[] = {{&ProgressBar2, "Entire Process"},
                                                            {&Panel3, "Size of all files"},
                                                            {&ProgressBar1, "Files Now Comparing"},
                                                            {&Panel2, "Size of this file"},
                                                            {&Panel1, "Status"}};
  for (auto [control, label] : labels) control->SetAccessibleLabel(label);
}

}  // namespace vemo
