// Finds and reads windows as a user sees them, from another thread or another process: a
// window's text and class, a process's top-level windows, the controls inside a window, the
// message boxes on the screen (what they say, their icon and buttons), and presses a box's
// buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/hang_guard.h"
#include "win32/text.h"

namespace vemo::testing {

// Looks at a condition again every few milliseconds until it holds; false when it has not within
// the limit (the hang guard).
inline bool WaitFor(const std::function<bool()>& holds, int timeoutMs = test::kHangGuardMs) {
  for (DWORD start = GetTickCount(); !holds(); Sleep(2))
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
  return true;
}

// A window's whole text, asked of the window itself (WM_GETTEXT), so that controls of another
// process answer with their own; a thread that does not answer within the hang guard (a busy
// machine can keep a thread from its messages for seconds) gives "". Not SMTO_ABORTIFHUNG: a
// thread that was busy for seconds (the run's worker as it opens its final box) counts as hung
// until its box's loop has begun.
inline std::string WindowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, test::kHangGuardMs, &length))
    return "";
  std::wstring text(length + 1, L'\0');
  SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_NORMAL, test::kHangGuardMs, nullptr);
  return ToUtf8(text.c_str());
}

// The caption the system keeps for a window, read without sending the window anything: for a
// window whose thread may be busy (a box whose thread is still in a handler).
inline std::string CaptionOf(HWND hwnd) {
  wchar_t text[256] = L"";
  InternalGetWindowText(hwnd, text, 256);
  return ToUtf8(text);
}

inline std::string ClassName(HWND hwnd) {
  wchar_t name[256] = L"";
  GetClassNameW(hwnd, name, 256);
  return ToUtf8(name);
}

// The top-level windows of a process in z-order: the visible ones, or all of them.
inline std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly = true) {
  struct Search {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
  } search{pid, visibleOnly, {}};
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == s->pid && (!s->visibleOnly || IsWindowVisible(h))) s->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Every descendant window of parent, in z-order, each before its own children.
inline std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The first descendant of parent whose text is `text`, or null.
inline HWND ChildWithText(HWND parent, const std::string& text) {
  for (HWND h : Descendants(parent))
    if (WindowText(h) == text) return h;
  return nullptr;
}

// The first visible message box (a window of the dialog class "#32770") of process pid whose
// caption is one of `captions` (an empty list: any caption), looked for again every 20 ms until
// timeoutMs has passed; null when none came. The captions are read without sending the boxes
// anything, so a box whose thread is busy does not hold the caller up.
inline HWND FindMessageBox(std::initializer_list<const char*> captions, DWORD pid,
                           int timeoutMs = 0) {
  for (int waited = 0;; waited += 20) {
    for (HWND h : TopWindows(pid)) {
      if (ClassName(h) != "#32770") continue;
      if (captions.size() == 0) return h;
      const std::string caption = CaptionOf(h);
      for (const char* wanted : captions)
        if (caption == wanted) return h;
    }
    if (waited >= timeoutMs) return nullptr;
    Sleep(20);
  }
}

inline HWND FindMessageBox(const std::string& caption, DWORD pid, int timeoutMs = 0) {
  return FindMessageBox({caption.c_str()}, pid, timeoutMs);
}

// What a message box shows; false (shown false) when there was no box to read.
struct SeenBox {
  HWND hwnd = nullptr;
  bool shown = false;
  std::string caption;
  std::string text;
  HICON icon = nullptr;
  std::vector<std::string> buttons;  // their texts, in order
  int defaultId = 0;                 // the button drawn as the default one (Enter)
  explicit operator bool() const { return shown; }
};

// Reads a message box (null: none). The system gives its text the id 0xFFFF and its icon 1088.
// The box is asked for its texts: its thread is in the box's own message loop.
inline SeenBox ReadMessageBox(HWND box) {
  SeenBox seen;
  if (!box) return seen;
  seen.hwnd = box;
  seen.shown = true;
  seen.caption = WindowText(box);
  seen.text = WindowText(GetDlgItem(box, 0xFFFF));
  seen.icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, 1088, STM_GETICON, 0, 0));
  for (HWND child : Descendants(box)) {
    if (ClassName(child) != "Button") continue;
    seen.buttons.push_back(WindowText(child));
    if ((GetWindowLongW(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
      seen.defaultId = GetDlgCtrlID(child);
  }
  return seen;
}

// Presses the button with this id in a dialog as its click does: the command is posted to the
// dialog, so a caller on another thread never waits for the box's thread.
inline void PressBoxButton(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

// Waits until the thread that owns `edit` (an edit box of any process) has handled every
// message posted to its windows before this call: posted messages are handled in order, so a
// text limit posted after them and read back marks the point. The limit is put back after.
// False when the thread has not got there within the limit.
inline bool PostedMessagesHandled(HWND edit, int timeoutMs = test::kHangGuardMs) {
  DWORD_PTR limit = 0;
  if (!SendMessageTimeoutW(edit, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &limit))
    return false;
  const DWORD_PTR marker = limit == 0x7FFFFFFE ? 0x7FFFFFFD : 0x7FFFFFFE;
  PostMessageW(edit, EM_SETLIMITTEXT, marker, 0);
  const bool reached = WaitFor(
      [&] {
        DWORD_PTR now = 0;
        return SendMessageTimeoutW(edit, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, timeoutMs, &now) &&
               now == marker;
      },
      timeoutMs);
  PostMessageW(edit, EM_SETLIMITTEXT, limit, 0);
  return reached;
}

// A system icon, to compare with the icon a box shows (IDI_INFORMATION, IDI_QUESTION...).
inline HICON SystemIcon(LPCWSTR which) { return LoadIconW(nullptr, which); }

}  // namespace vemo::testing
