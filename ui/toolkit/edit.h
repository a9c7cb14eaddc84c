// One-line edit box with a length limit for what the user types.
#pragma once
#include <functional>
#include <string>

#include "application.h"
#include "control.h"

namespace vemo::ui {

class Edit : public WinControl {
 public:
  std::function<void()> OnChange;  // every change of the text, by the user or by code

  void Create(WinControl& parent, const Layout& layout) {
    CreateWindowed(&parent, layout, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
  }
  bool TabStop() const override { return true; }

  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length) {
    maxLength_ = length;
    SendMessageW(hwnd_, EM_SETLIMITTEXT, length, 0);
  }

  bool Reflect(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wparam) == EN_CHANGE) {
      Fire(OnChange);
      result = 0;
      return true;
    }
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC)
      return ColorReply(reinterpret_cast<HDC>(wparam), result, COLOR_WINDOW);
    return false;
  }

 private:
  int maxLength_ = 0;
};

}  // namespace vemo::ui
