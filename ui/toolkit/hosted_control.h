// A control whose window another class made (the drive box, the folder list over their host
// window), taken into its form's tab order, focus handling and stacking like our own.
#pragma once
#include "control.h"

namespace vemo::ui {

class HostedControl : public WinControl {
 public:
  void Adopt(WinControl& parent, HWND hwnd, const Layout& layout) {
    Init(&parent, layout);
    tab_ = layout.tab;
    Attach(hwnd);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont(font_)), FALSE);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AddTo(parent);
  }
  bool TabStop() const override { return true; }
};

}  // namespace vemo::ui
