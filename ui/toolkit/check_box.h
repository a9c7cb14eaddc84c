// Two-state check box. Setting Checked from code raises OnClick when the state changes, as a
// click by the user does.
#pragma once
#include <functional>

#include "application.h"
#include "control.h"

namespace vemo::ui {

class CheckBox : public WinControl {
 public:
  std::function<void()> OnClick;

  void Create(WinControl& parent, const Layout& layout) {
    CreateWindowed(&parent, layout, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX);
  }
  bool TabStop() const override { return true; }
  // Beside the box (13 units) and the gap after it.
  int CaptionRoom() const override { return Pixels(width_) - Pixels(19); }

  bool Checked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool checked) {
    if (checked == Checked()) return;
    SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick) OnClick();
  }

  bool Reflect(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
      Fire(OnClick);
      result = 0;
      return true;
    }
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
      return ColorReply(reinterpret_cast<HDC>(wparam), result);
    return false;
  }
};

}  // namespace vemo::ui
