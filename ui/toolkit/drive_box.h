// Drive box: picks the drive that a folder list shows (a drop-down combo box). Drawn by the
// program, so that its height is the layout's and not the font's.
#pragma once
#include <functional>
#include <string>

#include "application.h"
#include "control.h"

namespace vemo::ui {

class DriveBox : public WinControl {
 public:
  std::function<void()> OnChange;

  void Create(WinControl& parent, const Layout& layout) {
    Layout l = layout;
    l.height = 240;  // the drop-down list's room; the box itself stays one line high
    CreateWindowed(&parent, l, L"COMBOBOX",
                   WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                       CBS_HASSTRINGS);
    height_ = layout.height;
    // The box's height follows its selection field: make the whole box the layout's height.
    int field = height_ - 6;
    for (int i = 0; i < 2; ++i) {
      SendMessageW(hwnd_, CB_SETITEMHEIGHT, (WPARAM)-1, field);
      RECT r;
      GetWindowRect(hwnd_, &r);
      field += height_ - (r.bottom - r.top);
    }
  }
  bool TabStop() const override { return true; }

  bool Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wparam) == CBN_SELCHANGE) {
      Fire(OnChange);
      result = 0;
      return true;
    }
    if (msg == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
      bool selected = dis->itemState & ODS_SELECTED;
      FillRect(dis->hDC, &dis->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
      if (dis->itemID != (UINT)-1) {
        wchar_t text[MAX_PATH] = {};
        SendMessageW(hwnd_, CB_GETLBTEXT, dis->itemID, reinterpret_cast<LPARAM>(text));
        SetBkMode(dis->hDC, TRANSPARENT);
        SetTextColor(dis->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT r = dis->rcItem;
        r.left += 2;
        DrawTextW(dis->hDC, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      }
      result = TRUE;
      return true;
    }
    return false;
  }
};

}  // namespace vemo::ui
