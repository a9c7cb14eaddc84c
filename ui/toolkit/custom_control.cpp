#include "custom_control.h"

#include "accessible.h"
#include "application.h"
#include "gdi.h"

namespace vemo::ui {

// Draws the whole control into a DC, through a memory bitmap so that it does not flicker.
void Render(HWND hwnd, CustomControl* self, HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  const gdi::BackBuffer buffer(dc, client);
  if (self) {
    try {
      self->PaintWindow(buffer.Dc(), client);
    } catch (...) {
    }
  }
}

LRESULT CALLBACK CustomProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  // Nothing escapes into the system (GuardedAnswer).
  return GuardedAnswer([&]() -> LRESULT {
    auto* self = dynamic_cast<CustomControl*>(WinControl::FromHandle(hwnd));
    LRESULT handled = 0;
    if (self && self->HandleMessage(msg, wparam, lparam, handled)) return handled;
    switch (msg) {
      case WM_COMMAND:
      case WM_NOTIFY:
      case WM_DRAWITEM:
      case WM_MEASUREITEM:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORLISTBOX: return SendMessageW(GetParent(hwnd), msg, wparam, lparam);
      case WM_ERASEBKGND: return 1;
      case WM_GETFONT: return self ? reinterpret_cast<LRESULT>(self->DrawnFont()) : 0;
      case WM_SETFONT:
        if (LOWORD(lparam)) InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Render(hwnd, self, dc);
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_PRINTCLIENT: Render(hwnd, self, reinterpret_cast<HDC>(wparam)); return 0;
      case WM_GETOBJECT:
        if (LRESULT object = AnswerGetObject(hwnd, wparam, lparam)) return object;
        break;
      case WM_SETTEXT: {
        LRESULT r = DefWindowProcW(hwnd, msg, wparam, lparam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return r;
      }
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  });
}

void RegisterContainerClasses(HINSTANCE module) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = CustomProc;
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
