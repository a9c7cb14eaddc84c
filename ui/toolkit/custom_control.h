// A windowed control that draws itself (group box, panel). It passes the notifications of its
// child controls on to its parent, so a control inside a group box reaches its form, and it
// serves assistive technology itself (accessible.h).
#pragma once
#include <oleacc.h>

#include "control.h"

namespace vemo::ui {

class CustomControl : public WinControl {
 public:
  void SetCaption(const std::string& caption) override;
  void SetFont(const FontSpec& font) override;

 protected:
  void CreateCustom(WinControl& parent, const Layout& layout, DWORD style = 0) {
    CreateWindowed(&parent, layout, L"VemoCustom", style | WS_CLIPCHILDREN);
  }
  virtual void PaintWindow(HDC dc, const RECT& client) = 0;

 private:
  friend LRESULT CALLBACK CustomProc(HWND, UINT, WPARAM, LPARAM);
  friend void Render(HWND, CustomControl*, HDC);
};

}  // namespace vemo::ui
