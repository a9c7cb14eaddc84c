#include "ui/toolkit/control_host.h"

#include <commctrl.h>

#include <string>

#include "ui/toolkit/wide_text.h"

namespace vemo {
namespace {

const wchar_t* kHostClass = L"VemoControlHost";

void RegisterHostClass(WNDPROC procedure) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kHostClass;
  RegisterClassExW(&window_class);
  registered = true;
}

}  // namespace

std::function<void(const std::exception&)>& ControlHost::ErrorReport() {
  static std::function<void(const std::exception&)> report = [](const std::exception& error) {
    std::wstring text = WideFromUtf8(std::string(error.what()) + ".");
    MessageBoxW(nullptr, text.c_str(), L"Vemo", MB_OK | MB_ICONSTOP);
  };
  return report;
}

ControlHost::~ControlHost() {
  if (inner_) RemoveWindowSubclass(inner_, InnerProc, 1);
  if (host_) {
    SetWindowLongPtrW(host_, GWLP_USERDATA, 0);
    DestroyWindow(host_);
  }
}

void ControlHost::CreateHost(HWND parent, int left, int top, int width, int height) {
  RegisterHostClass(HostProc);
  host_ = CreateWindowExW(WS_EX_CONTROLPARENT, kHostClass, L"",
                          WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, left, top, width, height, parent,
                          nullptr, GetModuleHandleW(nullptr), this);
}

HWND ControlHost::MakeInner(const wchar_t* window_class, DWORD style, DWORD ex_style, int height) {
  RECT client;
  GetClientRect(host_, &client);
  inner_ = CreateWindowExW(ex_style, window_class, L"", WS_CHILD | WS_VISIBLE | style, 0, 0,
                           client.right, height, host_, reinterpret_cast<HMENU>(1),
                           GetModuleHandleW(nullptr), nullptr);
  SetWindowSubclass(inner_, InnerProc, 1, reinterpret_cast<DWORD_PTR>(this));
  return inner_;
}

void ControlHost::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    if (ErrorReport()) ErrorReport()(error);
  }
}

LRESULT CALLBACK ControlHost::HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ControlHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self) {
    switch (message) {
      case WM_COMMAND:
        if (reinterpret_cast<HWND>(lparam) == self->inner_) {
          int code = HIWORD(wparam);
          self->Guarded([&] { self->OnCommand(code); });
          return 0;
        }
        break;
      case WM_DRAWITEM:
        self->OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
        return TRUE;
      case WM_MEASUREITEM:
        self->OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
        return TRUE;
      case WM_SETFONT:
        if (self->inner_) SendMessageW(self->inner_, WM_SETFONT, wparam, lparam);
        return 0;
      case WM_GETFONT:
        return self->inner_ ? SendMessageW(self->inner_, WM_GETFONT, 0, 0) : 0;
      case WM_SETFOCUS:
        if (self->inner_) SetFocus(self->inner_);
        return 0;
      case WM_ENABLE:
        if (self->inner_) EnableWindow(self->inner_, static_cast<BOOL>(wparam));
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->host_ = nullptr;
        self->inner_ = nullptr;
        break;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK ControlHost::InnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ControlHost*>(data);
  LRESULT result = 0;
  if (self && self->OnInnerMessage(message, wparam, lparam, result)) return result;
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace vemo
