// The five windows' frames and controls in layout units (pixels at 96 DPI): the one place their
// places, sizes, captions, fonts and tab order are written. Each window is built from its table
// (ui/windows/t*.cpp), and the layout test reads the same tables.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit/control.h"
#include "ui/toolkit/form.h"

namespace vemo {

struct WindowLayout {
  ui::FormSpec frame;
  std::vector<ui::Layout> controls;

  // The row of a control by its name (every control a window makes has one).
  const ui::Layout& At(std::string_view name) const {
    for (const ui::Layout& row : controls)
      if (row.name == name) return row;
    throw std::logic_error("no layout row for " + std::string(name));
  }
};

const WindowLayout& Form1Layout();
// Memo1 fills the client area: its row holds no size.
const WindowLayout& Form2Layout();
const WindowLayout& AboutLayout();
const WindowLayout& PBarLayout();
const WindowLayout& DragDropMsgLayout();

}  // namespace vemo
