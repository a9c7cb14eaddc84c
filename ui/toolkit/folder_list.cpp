#include "ui/toolkit/folder_list.h"

#include "ui/toolkit/drives.h"
#include "ui/toolkit/folder_glyphs.h"
#include "ui/toolkit/wide_text.h"

namespace vemo {
namespace {

const int kIndent = 10;      // pixels per level
const int kGlyphWidth = 18;  // glyph and the gap after it

std::string ProcessFolder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring current(size, L'\0');
  current.resize(GetCurrentDirectoryW(size, current.data()));
  try {
    return drives::ResolveFolder(Utf8FromWide(current));
  } catch (const drives::FolderError&) {
    return std::string(1, drives::ProcessDrive()) + ":\\";
  }
}

}  // namespace

FolderList::FolderList() : directory_(ProcessFolder()) {
  drives::RememberFolder(directory_);
}

void FolderList::Create(HWND parent, int left, int top, int width, int height) {
  CreateHost(parent, left, top, width, height);
  MakeInner(L"LISTBOX",
            WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
            WS_EX_CLIENTEDGE, height);
  Fill();
}

void FolderList::SetDirectory(const std::string& path) { MoveTo(drives::ResolveFolder(path)); }

void FolderList::SetDrive(char letter) {
  if (drives::UpperLetter(letter) == Drive() && Drive() != 0) return;
  MoveTo(drives::CurrentFolder(letter));
}

void FolderList::MoveTo(const std::string& folder) {
  if (drives::SamePath(folder, directory_)) return;
  directory_ = folder;
  drives::RememberFolder(folder);
  Fill();
  if (OnChange) OnChange();
}

void FolderList::Fill() {
  entries_.clear();
  std::vector<std::string> chain = drives::Chain(directory_);
  for (size_t depth = 0; depth < chain.size(); ++depth)
    entries_.push_back({chain[depth], drives::LastName(chain[depth]), static_cast<int>(depth), true});
  current_index_ = static_cast<int>(chain.size()) - 1;
  for (const std::string& name : drives::SubFolders(directory_))
    entries_.push_back({drives::Join(directory_, name), name, static_cast<int>(chain.size()), false});

  HWND list = inner();
  if (!list) return;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < entries_.size(); ++i)
    SendMessageW(list, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
  SendMessageW(list, LB_SETCURSEL, current_index_, 0);
  // Keep the current folder in sight, with as much of the chain above it as fits.
  RECT client;
  GetClientRect(list, &client);
  int item_height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  int visible = item_height > 0 ? client.bottom / item_height : 1;
  int top = current_index_ - visible / 2;
  SendMessageW(list, LB_SETTOPINDEX, top < 0 ? 0 : top, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int FolderList::SelectedEntry() const {
  if (!inner()) return current_index_;
  return static_cast<int>(SendMessageW(inner(), LB_GETCURSEL, 0, 0));
}

void FolderList::SelectEntry(int index) {
  if (inner()) SendMessageW(inner(), LB_SETCURSEL, index, 0);
}

void FolderList::OpenEntry(int index) {
  if (index < 0 || index >= EntryCount()) return;
  std::string path = entries_[index].path;
  try {
    SetDirectory(path);
  } catch (const drives::FolderError&) {
    Fill();  // the entry is gone: show what is there now
    throw;
  }
}

void FolderList::OnCommand(int code) {
  if (code == LBN_DBLCLK) OpenEntry(SelectedEntry());
}

bool FolderList::OnInnerMessage(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
  if (message == WM_GETDLGCODE && wparam == VK_RETURN) {
    result = DLGC_WANTALLKEYS;  // Enter opens the entry instead of pressing the default button
    return true;
  }
  if (message == WM_KEYDOWN && wparam == VK_RETURN) {
    Guarded([&] { OpenEntry(SelectedEntry()); });
    result = 0;
    return true;
  }
  if (message == WM_CHAR && wparam == '\r') {
    result = 0;
    return true;
  }
  return false;
}

void FolderList::OnMeasureItem(MEASUREITEMSTRUCT& item) { item.itemHeight = 16; }

void FolderList::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  bool selected = item.itemState & ODS_SELECTED;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID >= entries_.size()) return;
  const Entry& entry = entries_[item.itemID];
  int x = area.left + 2 + entry.depth * kIndent;
  int glyph_top = area.top + (area.bottom - area.top - 14) / 2;
  glyphs::DrawFolder(dc, x, glyph_top, entry.open);
  RECT text_area = area;
  text_area.left = x + kGlyphWidth;
  std::wstring name = WideFromUtf8(entry.name);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text_area,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &area);
}

}  // namespace vemo
