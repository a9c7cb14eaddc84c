#include "ui/windows/tpbar.h"

#include "assets/art_ids.h"
#include "ui/windows/layouts.h"

namespace vemo {

using ui::Layout;
using ui::MakeFont;
using ui::Picture;

const WindowLayout& PBarLayout() {
  static const WindowLayout layout = [] {
    return WindowLayout{
        ui::FormSpec{"PBar", "Vemo -  Comparing...", ui::BorderStyle::SingleNoSystem,
                     ui::FormPosition::ScreenCenter, 427, 259, false, MakeFont(12)},
        {ui::Layout{"ImageWhite", 120, 8, 297, 33},
         ui::Layout{"Label1", 16, 16, 95, 13, "Now Comparing...", MakeFont(13, false, false, true)},
         ui::Layout{"Image2", 8, 120, 33, 33},
         ui::Layout{"Image3", 40, 120, 33, 33},
         ui::Layout{"Image4", 72, 120, 33, 33},
         ui::Layout{"Image5", 104, 120, 33, 33},
         ui::Layout{"Image6", 136, 120, 33, 33},
         ui::Layout{"Image7", 168, 120, 33, 33},
         ui::Layout{"ImFolder1", 128, 8, 57, 33},
         ui::Layout{"ImFolder2", 384, 8, 33, 33},
         ui::Layout{"ImFolder12", 200, 120, 65, 33},
         ui::Layout{"ImFolder13", 264, 120, 57, 33},
         ui::Layout{"ImFolder14", 320, 120, 33, 33},
         ui::Layout{"ImFolderOrg", 352, 120, 33, 33},
         ui::Layout{"Image1", 352, 8, 33, 33},
         ui::Layout{"ImageOrg", 384, 120, 33, 33},
         ui::Layout{"ImChk1", 376, 8, 33, 33},
         ui::Layout{"ImChk2", 312, 8, 33, 33},
         ui::Layout{"ImJp1", 8, 216, 33, 33},
         ui::Layout{"ImJp2", 40, 216, 33, 33},
         ui::Layout{"ImBatsu", 72, 216, 33, 33},
         ui::Layout{"ImCheck", 104, 216, 33, 33},
         ui::Layout{"ImNaki1", 136, 216, 33, 33},
         ui::Layout{"ImNaki2", 168, 216, 33, 33},
         ui::Layout{"ImAse1", 200, 216, 33, 33},
         ui::Layout{"ImAse2", 232, 216, 33, 33},
         ui::Layout{"ImAse3", 264, 216, 33, 33},
         ui::Layout{"ImAse4", 296, 216, 33, 33},
         ui::Layout{"GroupBox1", 8, 40, 409, 81, "Entire Process", MakeFont(16, true, false, true),
                    0},
         ui::Layout{"ProgressBar2", 8, 48, 393, 25, "", {}, 0},
         ui::Layout{"Panel3", 272, 16, 129, 25, "", {}, 1},
         ui::Layout{"GroupBox2", 8, 128, 409, 89, "Files Now Comparing",
                    MakeFont(13, false, false, true), 3},
         ui::Layout{"ProgressBar1", 8, 40, 393, 17, "", {}, 0},
         ui::Layout{"Panel1", 8, 64, 393, 17, "Comparing...",
                    ui::PathFont(MakeFont(12, false, false, true)), 1},
         ui::Layout{"Panel2", 272, 16, 129, 17, "", {}, 2},
         ui::Layout{"Stop", 8, 224, 297, 33, "Stop Comparing", MakeFont(16, true, false, true), 1},
         ui::Layout{"BitBtn2", 312, 224, 105, 33, "Emergency Exit",
                    MakeFont(13, false, false, true), 2}}};
  }();
  return layout;
}

TPBar::TPBar() {
  const WindowLayout& layout = PBarLayout();
  CreateForm(layout.frame);
  auto bmp = [](int id) { return Picture::Bitmap(id); };
  auto icon = [](int id) { return Picture::Icon(id); };
  // The marks say how the run goes; the other pictures are the scene's decoration.
  const Picture check = icon(ART_CHECK_ICON).Named("Check mark, no errors");
  const Picture cross = icon(ART_CROSS_ICON).Named("Cross, errors found");
  ImageWhite.Create(*this, layout.At("ImageWhite"), bmp(ART_WHITE_STRIP), true);
  Label1.Create(*this, layout.At("Label1"));
  Image2.Create(*this, layout.At("Image2"), bmp(ART_WALK_LEFT_A), false);
  Image3.Create(*this, layout.At("Image3"), bmp(ART_WALK_LEFT_B), false);
  Image4.Create(*this, layout.At("Image4"), bmp(ART_STAND_LEFT), false);
  Image5.Create(*this, layout.At("Image5"), bmp(ART_ROPE_RIGHT_A), false);
  Image6.Create(*this, layout.At("Image6"), bmp(ART_ROPE_RIGHT_B), false);
  Image7.Create(*this, layout.At("Image7"), bmp(ART_ROPE_STAND), false);
  ImFolder1.Create(*this, layout.At("ImFolder1"), bmp(ART_FOLDER_DOC), true);
  ImFolder2.Create(*this, layout.At("ImFolder2"), bmp(ART_FOLDER_DOC), true);
  ImFolder12.Create(*this, layout.At("ImFolder12"), bmp(ART_ROPE_WORK_1), false);
  ImFolder13.Create(*this, layout.At("ImFolder13"), bmp(ART_ROPE_WORK_2), false);
  ImFolder14.Create(*this, layout.At("ImFolder14"), bmp(ART_FOLDER_ROPE), false);
  ImFolderOrg.Create(*this, layout.At("ImFolderOrg"), bmp(ART_FOLDER_DOC), false);
  Image1.Create(*this, layout.At("Image1"), bmp(ART_STAND_LEFT), true);
  ImageOrg.Create(*this, layout.At("ImageOrg"), bmp(ART_STAND_RIGHT), false);
  ImChk1.Create(*this, layout.At("ImChk1"), check, false);
  ImChk2.Create(*this, layout.At("ImChk2"), check, false);
  ImJp1.Create(*this, layout.At("ImJp1"), bmp(ART_FRONT_STAND), false);
  ImJp2.Create(*this, layout.At("ImJp2"), bmp(ART_JUMP), false);
  ImBatsu.Create(*this, layout.At("ImBatsu"), cross, false);
  ImCheck.Create(*this, layout.At("ImCheck"), check, false);
  ImNaki1.Create(*this, layout.At("ImNaki1"), bmp(ART_CRY_1), false);
  ImNaki2.Create(*this, layout.At("ImNaki2"), bmp(ART_CRY_2), false);
  ImAse1.Create(*this, layout.At("ImAse1"), bmp(ART_SWEAT_1), false);
  ImAse2.Create(*this, layout.At("ImAse2"), bmp(ART_SWEAT_2), false);
  ImAse3.Create(*this, layout.At("ImAse3"), bmp(ART_SWEAT_3), false);
  ImAse4.Create(*this, layout.At("ImAse4"), bmp(ART_SWEAT_4), false);

  GroupBox1.Create(*this, layout.At("GroupBox1"));
  ProgressBar2.Create(GroupBox1, layout.At("ProgressBar2"));
  Panel3.Create(GroupBox1, layout.At("Panel3"));
  Panel3.SetAlignment(ui::Alignment::Right);
  Panel3.SetBorderWidth(4);
  GroupBox2.Create(*this, layout.At("GroupBox2"));
  ProgressBar1.Create(GroupBox2, layout.At("ProgressBar1"));
  Panel1.Create(GroupBox2, layout.At("Panel1"));
  Panel1.SetAlignment(ui::Alignment::Left);
  Panel1.SetBorderWidth(4);
  Panel2.Create(GroupBox2, layout.At("Panel2"));
  Panel2.SetAlignment(ui::Alignment::Right);
  Panel2.SetBorderWidth(4);
  Stop.Create(*this, layout.At("Stop"));
  BitBtn2.Create(*this, layout.At("BitBtn2"));
  // What assistive technology reads for the bars, and for a panel while it is empty.
  const std::pair<ui::WinControl*, const char*> labels[] = {{&ProgressBar2, "Entire Process"},
                                                            {&Panel3, "Size of all files"},
                                                            {&ProgressBar1, "Files Now Comparing"},
                                                            {&Panel2, "Size of this file"},
                                                            {&Panel1, "Status"}};
  for (auto [control, label] : labels) control->SetAccessibleLabel(label);
}

}  // namespace vemo
