#include "ui/toolkit/drive_box.h"

#include "ui/toolkit/drives.h"
#include "ui/toolkit/folder_glyphs.h"
#include "ui/toolkit/wide_text.h"

namespace vemo {
namespace {
const int kListRows = 8;  // drives shown at once when the list drops down
}

DriveBox::DriveBox() : drive_(drives::ProcessDrive()) {}

void DriveBox::Create(HWND parent, int left, int top, int width, int height) {
  int item_height = height - 6;  // the field is the item plus the box's own edges
  CreateHost(parent, left, top, width, height);
  MakeInner(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, 0,
            height + kListRows * 16);
  SendMessageW(inner(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item_height);
  SendMessageW(inner(), CB_SETITEMHEIGHT, 0, 16);
  Fill();
}

void DriveBox::Fill() {
  letters_ = drives::Letters();
  if (letters_.find(drive_) == std::string::npos) {
    // A held drive that the system does not list (not ready): keep it in its place.
    size_t at = 0;
    while (at < letters_.size() && letters_[at] < drive_) ++at;
    letters_.insert(at, 1, drive_);
  }
  labels_.clear();
  for (char letter : letters_)
    labels_.push_back(drives::IsReady(letter) ? drives::VolumeLabel(letter) : std::string());
  if (!inner()) return;
  SendMessageW(inner(), CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < letters_.size(); ++i)
    SendMessageW(inner(), CB_ADDSTRING, 0, static_cast<LPARAM>(letters_[i]));
  SelectHeld();
}

void DriveBox::SelectHeld() {
  if (inner())
    SendMessageW(inner(), CB_SETCURSEL, static_cast<WPARAM>(letters_.find(drive_)), 0);
}

void DriveBox::SetDrive(char letter) {
  char upper = drives::UpperLetter(letter);
  if (!upper) throw drives::FolderError("\"" + std::string(1, letter) + "\" is no drive letter");
  if (upper == drive_) return;
  drive_ = upper;
  Fill();
  if (OnChange) OnChange();
}

void DriveBox::PickEntry(int index) {
  if (index < 0 || index >= static_cast<int>(letters_.size())) return;
  SendMessageW(inner(), CB_SETCURSEL, index, 0);
  OnCommand(CBN_SELENDOK);
}

void DriveBox::OnCommand(int code) {
  switch (code) {
    case CBN_DROPDOWN: {
      Fill();  // drives may have come or gone since
      break;
    }
    case CBN_SELCHANGE:
      // While the list is down the highlight moves freely; the pick counts when it closes.
      if (SendMessageW(inner(), CB_GETDROPPEDSTATE, 0, 0)) break;
      [[fallthrough]];
    case CBN_SELENDOK: {
      int index = static_cast<int>(SendMessageW(inner(), CB_GETCURSEL, 0, 0));
      if (index < 0 || index >= static_cast<int>(letters_.size())) break;
      char picked = letters_[index];
      if (picked == drive_) break;
      drive_ = picked;
      if (OnChange) OnChange();
      break;
    }
    case CBN_SELENDCANCEL:
      SelectHeld();
      break;
  }
}

void DriveBox::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  if (item.itemID != static_cast<UINT>(-1)) item.itemHeight = 16;
}

void DriveBox::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  bool selected = item.itemState & ODS_SELECTED;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID >= letters_.size()) return;
  char letter = letters_[item.itemID];
  glyphs::DrawDrive(dc, area.left + 2, area.top + (area.bottom - area.top - 14) / 2);
  std::string text = std::string(1, static_cast<char>(letter - 'A' + 'a')) + ":";
  if (!labels_[item.itemID].empty()) text += " [" + labels_[item.itemID] + "]";
  std::wstring wide = WideFromUtf8(text);
  RECT text_area = area;
  text_area.left += 22;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text_area,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &area);
}

}  // namespace vemo
