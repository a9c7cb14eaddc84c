#include "custom_control.h"

#include <exception>

#include "accessible.h"
#include "application.h"
#include "gdi.h"

namespace vemo::ui {

void CustomControl::Render(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const gdi::BackBuffer buffer(dc, client);
  try {
    PaintWindow(buffer.Dc(), client);
    paintFailed_ = false;
  } catch (...) {
    // Reported once, after the paint has ended (a report box painted over the control would
    // paint it again, failing again): the general error report, then nothing until a paint of
    // the control succeeds.
    if (paintFailed_) return;
    paintFailed_ = true;
    App().Post([failure = std::current_exception()] {
      try {
        std::rethrow_exception(failure);
      } catch (...) {
        App().ReportCurrentException();
      }
    });
  }
}

LRESULT CustomControl::WindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  LRESULT handled = 0;
  if (HandleMessage(msg, wparam, lparam, handled)) return handled;
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: return SendMessageW(GetParent(hwnd_), msg, wparam, lparam);
    case WM_ERASEBKGND: return 1;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(DrawnFont());
    case WM_SETFONT:
      if (LOWORD(lparam)) InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Render(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: Render(reinterpret_cast<HDC>(wparam)); return 0;
    case WM_GETOBJECT:
      if (LRESULT object = AnswerGetObject(hwnd_, wparam, lparam)) return object;
      break;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd_, msg, wparam, lparam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return r;
    }
  }
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

void RegisterContainerClasses(HINSTANCE module) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WinControl::WindowProc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"VemoCustom";
  RegisterClassExW(&wc);
  wc.style |= CS_DBLCLKS;
  wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
  wc.lpszClassName = L"VemoText";
  RegisterClassExW(&wc);
}

void CustomControl::SetCaption(const std::string& caption) {
  const bool changed = caption != Caption();
  WinControl::SetCaption(caption);
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  // Our object's name is the caption (a panel's figure): clients hear of each change, as
  // often as the caption is set.
  if (changed) NotifyNameChange(hwnd_);
}

void CustomControl::SetFont(const FontSpec& font) {
  WinControl::SetFont(font);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

}  // namespace vemo::ui
