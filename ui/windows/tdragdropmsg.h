// The drop question dialog: which side a dropped folder becomes. Each button closes the modal
// dialog with its result (6 Folder 1, 7 Folder 2, 2 Cancel); Enter answers the default
// button, Esc does nothing, and the title bar has no close box.
#pragma once
#include "ui/toolkit/button.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/label.h"

namespace vemo {

class TDragDropMsg : public ui::Form {
 public:
  TDragDropMsg();

  ui::Label Message;  // the question, replaced at each drop
  ui::Button Button1;
  ui::Button Button2;
  ui::Button Button3;
};

}  // namespace vemo
