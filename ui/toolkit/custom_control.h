// A windowed control that draws itself (group box, panel, the text box). It passes the
// notifications of its child controls on to its parent, so a control inside a group box reaches
// its form, and it serves assistive technology itself (accessible.h). The window classes:
// "VemoCustom" for containers and "VemoText" for text that the user selects (an I-beam cursor,
// double clicks).
#pragma once
#include <oleacc.h>

#include "control.h"

namespace vemo::ui {

class CustomControl : public WinControl {
 public:
  void SetCaption(const std::string& caption) override;
  void SetFont(const FontSpec& font) override;

 protected:
  void CreateCustom(WinControl& parent, const Layout& layout, DWORD style = 0,
                    const wchar_t* windowClass = L"VemoCustom") {
    CreateWindowed(&parent, layout, windowClass, style | WS_CLIPCHILDREN);
  }
  virtual void PaintWindow(HDC dc, const RECT& client) = 0;
  // A message before the control's own handling: true when handled (with its result).
  virtual bool HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
  LRESULT WindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  // Draws the whole control into a DC, through a memory bitmap so that it does not flicker.
  void Render(HDC dc);
  bool paintFailed_ = false;  // since the last paint that succeeded (reported once)
};

}  // namespace vemo::ui
