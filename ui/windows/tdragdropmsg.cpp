#include "ui/windows/tdragdropmsg.h"

#include "ui/windows/layouts.h"

namespace vemo {

using ui::Layout;
using ui::MakeFont;

const WindowLayout& DragDropMsgLayout() {
  static const WindowLayout layout = [] {
    const auto bold13 = MakeFont(13, true, false, true);
    return WindowLayout{ui::FormSpec{"DragDropMsg", "Vemo", ui::BorderStyle::SingleNoSystem,
                                     ui::FormPosition::ScreenCenter, 312, 101, false, MakeFont(12)},
                        {ui::Layout{"Message", 8, 8, 289, 33, "Drag && Drop Support"},
                         ui::Layout{"Button1", 8, 56, 105, 33, "Folder 1 (&1)", bold13, 0},
                         ui::Layout{"Button2", 120, 56, 105, 33, "Folder2 (&2)", bold13, 1},
                         ui::Layout{"Button3", 232, 56, 73, 33, "Cancel", {}, 2}}};
  }();
  return layout;
}

TDragDropMsg::TDragDropMsg() {
  const WindowLayout& layout = DragDropMsgLayout();
  CreateForm(layout.frame);
  Message.Create(*this, layout.At("Message"));
  Message.SetAutoSize(false);
  Button1.Create(*this, layout.At("Button1"));
  Button1.SetDefault(true);
  Button1.SetModalResult(ui::kResultYes);
  Button2.Create(*this, layout.At("Button2"));
  Button2.SetModalResult(ui::kResultNo);
  Button3.Create(*this, layout.At("Button3"));
  Button3.SetModalResult(ui::kResultCancel);
}

}  // namespace vemo
