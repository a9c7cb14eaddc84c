#include "drive_box.h"

#include <algorithm>
#include <optional>

#include "application.h"
#include "drives.h"
#include "folder_glyphs.h"
#include "window_text.h"

namespace vemo::ui {
namespace {
const int kItemHeight = 16;  // layout units
const int kListRows = 8;     // drives shown at once when the list drops down

// The drive boxes that exist (user-interface thread only).
std::vector<DriveBox*>& Boxes() {
  static std::vector<DriveBox*> boxes;
  return boxes;
}

}  // namespace

DriveBox::DriveBox() : drive_(drives::ProcessDrive()) {}

DriveBox::~DriveBox() {
  auto& boxes = Boxes();
  boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
}

void DriveBox::Create(WinControl& parent, const Layout& layout) {
  // The window's height includes the dropped-down list; the box itself keeps the layout's.
  boxHeight_ = layout.height;
  Layout dropped = layout;
  dropped.height = layout.height + kListRows * kItemHeight;
  CreateWindowed(&parent, dropped, L"COMBOBOX",
                 WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED);
  height_ = layout.height;
  SizeBox();
  Boxes().push_back(this);
  drives::SetVolumeListener([](char letter) { App().Post([letter] { Answered(letter); }); });
  Fill();
}

void DriveBox::SizeBox() {
  const int itemHeight = Pixels(kItemHeight), boxHeight = Pixels(boxHeight_);
  SendMessageW(hwnd_, CB_SETITEMHEIGHT, 0, itemHeight);
  // Size the selection field so that the closed box is exactly as high as laid out (the
  // field the box reports may differ from the one asked for, so steer by the outer height).
  int field = static_cast<int>(SendMessageW(hwnd_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  for (int attempt = 0; attempt < 4; ++attempt) {
    RECT box;
    GetWindowRect(hwnd_, &box);
    int offBy = (box.bottom - box.top) - boxHeight;
    if (offBy == 0 || field - offBy <= 0) break;
    field -= offBy;
    SendMessageW(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

void DriveBox::Relayout() {
  // The window reaches down over the dropped list; the bounds are the closed box's.
  WinControl::SetBounds(left_, top_, width_, boxHeight_ + kListRows * kItemHeight);
  height_ = boxHeight_;
  ApplyFont();
  SizeBox();
}

void DriveBox::Fill() {
  letters_ = drives::Letters();
  if (letters_.find(drive_) == std::string::npos) {
    // A held drive that the system does not list (not ready): keep it in its place.
    size_t at = 0;
    while (at < letters_.size() && letters_[at] < drive_) ++at;
    letters_.insert(at, 1, drive_);
  }
  types_.clear();
  for (char letter : letters_) types_.push_back(drives::DriveType(letter));
  labels_.assign(letters_.size(), std::string());
  ShowLabels();
  for (char letter : letters_) drives::AskVolume(letter);
  if (!hwnd_) return;
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (char letter : letters_) SendMessageW(hwnd_, CB_ADDSTRING, 0, static_cast<LPARAM>(letter));
  SelectHeld();
}

void DriveBox::ShowLabels() {
  bool changed = false;
  for (size_t i = 0; i < letters_.size(); ++i) {
    std::optional<std::string> known = drives::KnownLabel(letters_[i]);
    if (known && *known != labels_[i]) {
      labels_[i] = *known;
      changed = true;
    }
  }
  if (!changed || !hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(hwnd_, &info) && info.hwndList) InvalidateRect(info.hwndList, nullptr, FALSE);
}

void DriveBox::Answered(char letter) {
  for (DriveBox* box : Boxes()) {
    box->ShowLabels();
    Fire(box->OnDriveAnswer, letter);
  }
}

std::string DriveBox::Label(char letter) const {
  size_t at = letters_.find(drives::UpperLetter(letter));
  return at == std::string::npos ? std::string() : labels_[at];
}

void DriveBox::SelectHeld() {
  if (hwnd_) SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(letters_.find(drive_)), 0);
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
  SendMessageW(hwnd_, CB_SETCURSEL, index, 0);
  Command(CBN_SELENDOK);
}

void DriveBox::Command(int code) {
  switch (code) {
    case CBN_DROPDOWN:
      Fill();  // drives may have come or gone since
      break;
    case CBN_SELCHANGE:
      // While the list is down the highlight moves freely; the pick counts when it closes.
      if (SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0)) break;
      [[fallthrough]];
    case CBN_SELENDOK: {
      int index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
      if (index < 0 || index >= static_cast<int>(letters_.size())) break;
      char picked = letters_[index];
      if (picked == drive_) break;
      drive_ = picked;
      if (OnChange) OnChange();
      break;
    }
    case CBN_SELENDCANCEL: SelectHeld(); break;
  }
}

bool DriveBox::Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      Command(HIWORD(wparam));
      result = 0;
      return true;
    case WM_DRAWITEM:
      Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
      result = TRUE;
      return true;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (item->itemID != static_cast<UINT>(-1)) item->itemHeight = Pixels(kItemHeight);
      result = TRUE;
      return true;
    }
  }
  return false;
}

void DriveBox::Draw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  bool selected = item.itemState & ODS_SELECTED;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID >= letters_.size()) return;
  char letter = letters_[item.itemID];
  const int dpi = Dpi();
  glyphs::DrawDrive(dc, area.left + Pixels(2),
                    area.top + (area.bottom - area.top - Pixels(glyphs::kGlyphHeight)) / 2,
                    types_[item.itemID], dpi);
  std::string text = std::string(1, static_cast<char>(letter - 'A' + 'a')) + ":";
  if (!labels_[item.itemID].empty()) text += " [" + labels_[item.itemID] + "]";
  std::wstring wide = ToWide(text);
  RECT textArea = area;
  textArea.left += Pixels(22);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &textArea,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & (ODS_COMBOBOXEDIT | ODS_NOFOCUSRECT)))
    DrawFocusRect(dc, &area);
}

}  // namespace vemo::ui
