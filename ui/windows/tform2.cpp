#include "ui/windows/tform2.h"

namespace vemo {

TForm2::TForm2() {
  CreateForm({"Form2", "Vemo Error Information", ui::BorderStyle::Sizeable,
              ui::FormPosition::System, 400, 300, true, ui::MakeFont(12)});
  Memo1.Create(*this, ui::Layout{"Memo1",
                                 0,
                                 0,
                                 ui::ScaleFromDpi(ClientWidth(), Dpi()),
                                 ui::ScaleFromDpi(ClientHeight(), Dpi()),
                                 "No error.",
                                 {},
                                 0});
  Memo1.SetAccessibleLabel("Error Information");
  AlignClient(&Memo1);
}

}  // namespace vemo
