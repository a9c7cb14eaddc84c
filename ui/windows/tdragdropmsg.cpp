#include "ui/windows/tdragdropmsg.h"

namespace vemo {

using ui::Layout;
using ui::MakeFont;

TDragDropMsg::TDragDropMsg() {
  CreateForm({"DragDropMsg", "Vemo", ui::BorderStyle::SingleNoSystem,
              ui::FormPosition::ScreenCenter, 312, 101, false, MakeFont(12)});
  Message.Create(*this, Layout{"Message", 8, 8, 289, 33, "Drag && Drop Support"});
  Message.SetAutoSize(false);
  const auto bold13 = MakeFont(13, true, false, true);
  Button1.Create(*this, Layout{"Button1", 8, 56, 105, 33, "Folder 1 (&1)", bold13, 0});
  Button1.SetDefault(true);
  Button1.SetModalResult(ui::kResultYes);
  Button2.Create(*this, Layout{"Button2", 120, 56, 105, 33, "Folder2 (&2)", bold13, 1});
  Button2.SetModalResult(ui::kResultNo);
  Button3.Create(*this, Layout{"Button3", 232, 56, 73, 33, "Cancel", {}, 2});
  Button3.SetModalResult(ui::kResultCancel);
}

}  // namespace vemo
