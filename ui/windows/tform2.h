// The Error Information window: the lines of the last comparison in a read-only text box that
// fills the window and follows its size. A run writes the lines through its ordered hand-off
// to the user-interface thread (run/ui_handoff.h); this window only holds them.
#pragma once
#include "ui/toolkit/form.h"
#include "ui/toolkit/memo.h"

namespace vemo {

class TForm2 : public ui::Form {
 public:
  TForm2();

  ui::Memo Memo1;
};

}  // namespace vemo
