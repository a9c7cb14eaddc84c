#include "ui/windows/tform2.h"

#include "ui/windows/layouts.h"

namespace vemo {

const WindowLayout& Form2Layout() {
  static const WindowLayout layout{
      ui::FormSpec{"Form2", "Vemo Error Information", ui::BorderStyle::Sizeable,
                   ui::FormPosition::System, 400, 300, true, ui::MakeFont(12)},
      {ui::Layout{"Memo1", 0, 0, 0, 0, "No error.", {}, 0}}};
  return layout;
}

TForm2::TForm2() {
  const WindowLayout& layout = Form2Layout();
  CreateForm(layout.frame);
  ui::Layout memo = layout.At("Memo1");  // fills the client area
  memo.width = ui::ScaleFromDpi(ClientWidth(), Dpi());
  memo.height = ui::ScaleFromDpi(ClientHeight(), Dpi());
  Memo1.Create(*this, memo);
  Memo1.SetAccessibleLabel("Error Information");
  AlignClient(&Memo1);
}

}  // namespace vemo
