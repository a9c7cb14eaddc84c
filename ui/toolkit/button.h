// Push button; the form's default button answers Enter. A button with a modal result closes
// its modal form with that result when clicked.
#pragma once
#include <functional>

#include "application.h"
#include "control.h"
#include "form.h"

namespace vemo::ui {

class Button : public WinControl {
 public:
  std::function<void()> OnClick;

  void Create(WinControl& parent, const Layout& layout) {
    CreateWindowed(&parent, layout, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY);
  }
  bool TabStop() const override { return true; }
  // Inside the raised edge and the focus rectangle.
  int CaptionRoom() const override { return Pixels(width_) - Pixels(10); }

  bool Default() const { return default_; }
  void SetDefault(bool isDefault) {
    default_ = isDefault;
    DrawAsDefault(isDefault);
    if (form_) form_->SetDefaultButton(isDefault ? this : nullptr);
  }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }

  // What pressing the button does: the modal result, then OnClick.
  void Click() {
    if (modalResult_ != kResultNone && form_) form_->SetModalResult(modalResult_);
    if (OnClick) OnClick();
  }

  bool Reflect(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
      Guarded([this] { Click(); });
      result = 0;
      return true;
    }
    if (msg == WM_COMMAND && (HIWORD(wparam) == BN_SETFOCUS || HIWORD(wparam) == BN_KILLFOCUS)) {
      // As in the platform's dialogs: the focused button is drawn as the one Enter presses.
      bool focus = HIWORD(wparam) == BN_SETFOCUS;
      Button* fallback = form_ ? form_->DefaultButton() : nullptr;
      if (fallback && fallback != this) fallback->DrawAsDefault(!focus);
      if (fallback != this) DrawAsDefault(focus);
      result = 0;
      return true;
    }
    if (msg == WM_CTLCOLORBTN) return ColorReply(reinterpret_cast<HDC>(wparam), result);
    return false;
  }

 private:
  void DrawAsDefault(bool asDefault) {
    DWORD style = (DWORD)GetWindowLongW(hwnd_, GWL_STYLE) & 0xFFFF & ~BS_TYPEMASK;
    SendMessageW(hwnd_, BM_SETSTYLE, style | (asDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
  }
  bool default_ = false;
  int modalResult_ = kResultNone;
};

}  // namespace vemo::ui
