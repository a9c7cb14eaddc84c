// Folder list: browses the folders of one drive (a list box).
#pragma once
#include <functional>

#include "application.h"
#include "control.h"

namespace vemo::ui {

class FolderList : public WinControl {
 public:
  std::function<void()> OnChange;

  void Create(WinControl& parent, const Layout& layout) {
    CreateWindowed(&parent, layout, L"LISTBOX",
                   WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                   WS_EX_CLIENTEDGE);
    SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, 16);
  }
  bool TabStop() const override { return true; }

  bool Reflect(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wparam) == LBN_DBLCLK) {
      Fire(OnChange);
      result = 0;
      return true;
    }
    return false;
  }
};

}  // namespace vemo::ui
