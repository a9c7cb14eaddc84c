#include "folder_list.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "application.h"
#include "drives.h"
#include "folder_glyphs.h"
#include "window_text.h"

namespace vemo::ui {
namespace {

const int kItemHeight = 16;  // layout units
const int kIndent = 10;      // per level
const int kGlyphWidth = 18;  // glyph and the gap after it
// How long the user-interface thread waits for a folder's sub-folders before it shows the
// chain alone and lets them follow: long enough for any ordinary folder.
constexpr std::chrono::milliseconds kListWaitMs{40};

// When the current stretch of waiting for listings ends. The lists that move together (both
// sides restored at once, say) share one stretch: two huge folders hold the thread no longer
// than one.
std::chrono::steady_clock::time_point listWaitsEnd;

// How long a listing that starts now may be waited for, in ms.
int ListWaitMs(HWND list) {
  // A list that is not on screen (its window is hidden while a run is under way) is seen by
  // nobody as it fills in steps: no wait.
  if (!list || !IsWindowVisible(list)) return 0;
  const auto now = std::chrono::steady_clock::now();
  // A new stretch once the thread has had as long again without waiting.
  if (now >= listWaitsEnd + kListWaitMs) listWaitsEnd = now + kListWaitMs;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(listWaitsEnd - now);
  return int(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

std::string ProcessFolder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring current(size, L'\0');
  current.resize(GetCurrentDirectoryW(size, current.data()));
  try {
    return drives::ResolveFolder(ToUtf8(current));
  } catch (const drives::FolderError&) {
    return std::string(1, drives::ProcessDrive()) + ":\\";
  }
}

}  // namespace

FolderList::FolderList() : directory_(ProcessFolder()) { drives::RememberFolder(directory_); }

void FolderList::Create(WinControl& parent, const Layout& layout) {
  CreateWindowed(&parent, layout, L"LISTBOX",
                 WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                     LBS_NOINTEGRALHEIGHT,
                 WS_EX_CLIENTEDGE);
  font_.paths = true;  // a drive's root shows as "C:\"
  ApplyFont();
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, Pixels(kItemHeight));
  Subclass();
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
    entries_.push_back(
        {chain[depth], drives::LastName(chain[depth]), static_cast<int>(depth), true});
  currentIndex_ = static_cast<int>(chain.size()) - 1;
  // The sub-folders are listed once the handler that moved the list is over: under Wine the
  // first read of a huge folder holds up every other folder query of the process for seconds
  // (the rest of a settings restore, say), and the window must be up and answering by then.
  listing_.reset();
  listingDue_ = true;
  const unsigned fill = ++fills_;
  App().PostLater([this, fill, alive = std::weak_ptr<bool>(alive_)] {
    if (!alive.expired() && fill == fills_) StartListing();
  });

  if (!hwnd_) return;
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  AddItems(0);
  SendMessageW(hwnd_, LB_SETCURSEL, currentIndex_, 0);
  PlaceTop();
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void FolderList::StartListing() {
  // A folder that lists quickly shows whole at once; a big one shows its chain and answers.
  listing_ = std::make_unique<SubFolderListing>(directory_);
  if (listing_->Wait(ListWaitMs(hwnd_)))
    Listed();
  else
    listing_->WhenDone([this] { Listed(); });
}

void FolderList::Listed() {
  const size_t from = entries_.size();
  const int depth = currentIndex_ + 1;
  for (const std::string& name : listing_->TakeNames())
    entries_.push_back({drives::Join(directory_, name), name, depth, false});
  listing_.reset();
  listingDue_ = false;
  if (!hwnd_ || from == entries_.size()) return;
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  AddItems(from);
  // The user's selection and scrolling meanwhile stay as they are.
  if (SendMessageW(hwnd_, LB_GETTOPINDEX, 0, 0) == placedTop_) PlaceTop();
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void FolderList::AddItems(size_t from) {
  // The names are the items' texts too: what assistive technology reads and type-ahead finds.
  for (size_t i = from; i < entries_.size(); ++i)
    SendMessageW(hwnd_, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(ToWide(entries_[i].name).c_str()));
}

void FolderList::PlaceTop() {
  // Keep the current folder in sight, with as much of the chain above it as fits.
  RECT client;
  GetClientRect(hwnd_, &client);
  int visible = client.bottom / Pixels(kItemHeight);
  int top = currentIndex_ - visible / 2;
  SendMessageW(hwnd_, LB_SETTOPINDEX, top < 0 ? 0 : top, 0);
  placedTop_ = static_cast<int>(SendMessageW(hwnd_, LB_GETTOPINDEX, 0, 0));
}

int FolderList::SelectedEntry() const {
  if (!hwnd_) return currentIndex_;
  return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
}

void FolderList::SelectEntry(int index) {
  if (hwnd_) SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
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

void FolderList::Relayout() {
  WinControl::Relayout();
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, Pixels(kItemHeight));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool FolderList::Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wparam) == LBN_DBLCLK) OpenEntry(SelectedEntry());
      result = 0;
      return true;
    case WM_DRAWITEM:
      Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
      result = TRUE;
      return true;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = Pixels(kItemHeight);
      result = TRUE;
      return true;
  }
  return false;
}

bool FolderList::SubclassMessage(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_GETDLGCODE:
      // Enter opens the entry instead of pressing the form's default button.
      if (wparam != VK_RETURN) return false;
      result = DLGC_WANTALLKEYS;
      return true;
    case WM_KEYDOWN:
      if (wparam != VK_RETURN) return false;
      Guarded([this] { OpenEntry(SelectedEntry()); });
      result = 0;
      return true;
    case WM_CHAR: result = 0; return wparam == '\r';
  }
  return false;
}

void FolderList::Draw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  bool selected = item.itemState & ODS_SELECTED;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID >= entries_.size()) return;
  const Entry& entry = entries_[item.itemID];
  int x = area.left + Pixels(2 + entry.depth * kIndent);
  glyphs::DrawFolder(dc, x, area.top + (area.bottom - area.top - Pixels(glyphs::kGlyphHeight)) / 2,
                     entry.open, Dpi());
  RECT textArea = area;
  textArea.left = x + Pixels(kGlyphWidth);
  std::wstring name = ToWide(entry.name);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &textArea,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &area);
}

}  // namespace vemo::ui
