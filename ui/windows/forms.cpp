#include "ui/windows/forms.h"

#include "ui/toolkit/application.h"

namespace vemo {

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TAbout* About = nullptr;
TPBar* PBar = nullptr;
TDragDropMsg* DragDropMsg = nullptr;

void CreateForms() {
  Form1 = new TForm1;
  ui::App().SetMainForm(Form1);
  Form2 = new TForm2;
  About = new TAbout;
  PBar = new TPBar;
  DragDropMsg = new TDragDropMsg;
}

}  // namespace vemo
