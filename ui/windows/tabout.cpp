#include "ui/windows/tabout.h"

#include "assets/art_ids.h"
#include "release/version.h"
#include "ui/windows/layouts.h"

namespace vemo {

using ui::Layout;
using ui::MakeFont;
using ui::Picture;

const WindowLayout& AboutLayout() {
  static const WindowLayout layout = [] {
    const auto italic = MakeFont(13, false, true, true);
    return WindowLayout{
        ui::FormSpec{"About", "About Vemo", ui::BorderStyle::Dialog, ui::FormPosition::ScreenCenter,
                     232, 121, false, MakeFont(13, false, false, true)},
        {ui::Layout{"Image4", 8, 56, 49, 33},
         ui::Layout{"Label1", 69, 8, 103, 13, "File Compare Tool"},
         ui::Layout{"Label4", 8, 104, 241, 13, "Written by the Vemo developers", italic},
         ui::Layout{"Label5", 104, 24, 129, 13, "for Windows9x / NT", italic},
         ui::Layout{"Image2", 72, 56, 33, 33}, ui::Layout{"Image3", 16, 56, 33, 33},
         ui::Layout{"ImChr", 40, 56, 33, 33}, ui::Layout{"ImChrL", 16, 120, 33, 33},
         ui::Layout{"ImChrR", 56, 120, 33, 33},
         ui::Layout{"Label2", 96, 56, 45, 16, "Vemo", MakeFont(16, true, false, true)},
         ui::Layout{"Label3", 88, 80, 89, 13, VEMO_VERSION_TEXT},
         ui::Layout{"Image1", 24, 48, 33, 33}}};
  }();
  return layout;
}

TAbout::TAbout() {
  const WindowLayout& layout = AboutLayout();
  CreateForm(layout.frame);
  Image4.Create(*this, layout.At("Image4"), Picture::Bitmap(ART_WHITE_STRIP), false);
  Label1.Create(*this, layout.At("Label1"));
  Label4.Create(*this, layout.At("Label4"));
  Label5.Create(*this, layout.At("Label5"));
  Image2.Create(*this, layout.At("Image2"), Picture::Bitmap(ART_ABOUT_FOLDER_2), false);
  Image3.Create(*this, layout.At("Image3"), Picture::Bitmap(ART_ABOUT_FOLDER_1), false);
  ImChr.Create(*this, layout.At("ImChr"), Picture::Bitmap(ART_CHAR_L), false);
  ImChrL.Create(*this, layout.At("ImChrL"), Picture::Bitmap(ART_CHAR_L), false);
  ImChrR.Create(*this, layout.At("ImChrR"), Picture::Bitmap(ART_CHAR_R), false);
  Label2.Create(*this, layout.At("Label2"));
  Label3.Create(*this, layout.At("Label3"));
  Image1.Create(*this, layout.At("Image1"), Picture::Icon(ART_APP_ICON), true);
  Timer1.Create("Timer1", 1000, false);

  Label2.OnClick = [this] { Label2Click(); };
  Image1.OnClick = [this] { Label2Click(); };
  Timer1.OnTimer = [this] { Timer1Timer(); };
}

void TAbout::Label2Click() {
  Timer1.SetEnabled(true);
  Timer1.SetInterval(kAboutClickInterval);
}

void TAbout::Timer1Timer() {
  AboutAnimation::Step step = animation_.Tick();
  if (step.slide) {
    Image1.SetTop(step.positions.image1Top);
    Label2.SetLeft(step.positions.label2Left);
    Label3.SetLeft(step.positions.label3Left);
    return;
  }
  Timer1.SetInterval(kAboutSceneInterval);
  for (ui::Image* image : {&Image2, &Image3, &Image4, &ImChr}) image->Show();
  ImChr.SetPicture(step.pose == 0 ? ImChrL.GetPicture() : ImChrR.GetPicture());
}

}  // namespace vemo
