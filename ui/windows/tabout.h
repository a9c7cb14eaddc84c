// The About box: name, version and credit; a click on the name or the icon slides them aside
// and uncovers a small scene of two folders and a character who turns from one to the other.
#pragma once
#include "ui/toolkit/form.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/timer.h"
#include "ui/windows/about_slide.h"

namespace vemo {

class TAbout : public ui::Form {
 public:
  TAbout();

  // Back to front.
  ui::Image Image4;
  ui::Label Label1;
  ui::Label Label4;
  ui::Label Label5;
  ui::Image Image2;
  ui::Image Image3;
  ui::Image ImChr;
  ui::Image ImChrL;
  ui::Image ImChrR;
  ui::Label Label2;
  ui::Label Label3;  // its caption is also the version text of the stored settings
  ui::Image Image1;
  ui::Timer Timer1;

  void Label2Click();  // click on Label2 or Image1
  void Timer1Timer();  // one step of the slide or the scene
  const AboutAnimation& Animation() const { return animation_; }

 private:
  AboutAnimation animation_;
};

}  // namespace vemo
