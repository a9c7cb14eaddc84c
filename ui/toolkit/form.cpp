#include "form.h"

#include <windowsx.h>

#include <oleacc.h>

#include "accessible.h"
#include "application.h"
#include "button.h"
#include "check_box.h"
#include "dpi.h"
#include "gdi.h"
#include "menu.h"
#include "window_text.h"

namespace vemo::ui {

void RegisterFormClass(HINSTANCE module) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WinControl::WindowProc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"VemoForm";
  RegisterClassExW(&wc);
}

namespace {

void StylesFor(BorderStyle border, DWORD& style, DWORD& exStyle) {
  exStyle = 0;
  switch (border) {
    case BorderStyle::Single: style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
    case BorderStyle::Sizeable: style = WS_OVERLAPPEDWINDOW; break;
    case BorderStyle::Dialog:
      style = WS_CAPTION | WS_SYSMENU;
      exStyle = WS_EX_DLGMODALFRAME;
      break;
    case BorderStyle::SingleNoSystem: style = WS_CAPTION; break;
  }
  style |= WS_CLIPCHILDREN;
}

}  // namespace

Form::~Form() = default;

void Form::CreateForm(const FormSpec& spec) {
  name_ = spec.name;
  caption_ = spec.caption;
  border_ = spec.border;
  position_ = spec.position;
  font_ = spec.font;
  form_ = this;
  designWidth_ = spec.width;
  designHeight_ = spec.height;
  outerSize_ = spec.outerSize;
  DWORD style = 0, exStyle = 0;
  StylesFor(border_, style, exStyle);
  // Created at the layout size, then sized for the DPI of the monitor it came up on.
  RECT r{0, 0, spec.width, spec.height};
  if (!spec.outerSize) AdjustWindowRectEx(&r, style, FALSE, exStyle);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (position_ == FormPosition::ScreenCenter) {
    x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  }
  CreateWindowExW(exStyle, L"VemoForm", ToWide(caption_).c_str(), style, x, y, w, h, App().Handle(),
                  nullptr, App().Module(), this);
  dpi_ = WindowDpi(hwnd_);
  SizeFrame();
  SetIcon(kProgramIcon);
}

void Form::SizeFrame() {
  if (outerSize_) {
    SetWindowPos(hwnd_, nullptr, 0, 0, ScaleToDpi(designWidth_, dpi_),
                 ScaleToDpi(designHeight_, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SyncBounds();
  } else {
    SetClientSize(ScaleToDpi(designWidth_, dpi_), ScaleToDpi(designHeight_, dpi_));
  }
}

void Form::ApplyDpi(int dpi, const RECT* suggested) {
  if (dpi <= 0 || (dpi == dpi_ && !suggested)) return;
  dpi_ = dpi;
  if (suggested)
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // A sizeable window keeps the size the system scaled for it; the others get their layout
  // size at the new DPI exactly.
  if (border_ != BorderStyle::Sizeable || !suggested) SizeFrame();
  for (WinControl* child : children_) child->Relayout();
  LayoutAligned();
  if (iconId_) SetIcon(iconId_);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::SetMenu(MainMenu& menu) {
  menu_ = &menu;
  ::SetMenu(hwnd_, menu.Handle());
  menu.AttachTo(hwnd_);
  SizeFrame();
}

void Form::SetIcon(int resourceId) {
  iconId_ = resourceId;
  int bigSize = SystemMetricForDpi(SM_CXICON, dpi_);
  int smallSize = SystemMetricForDpi(SM_CXSMICON, dpi_);
  // The image of the icon closest to each size, drawn for it (16, 32, 48 or 256 pixels).
  HICON big = (HICON)LoadImageW(App().Module(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, bigSize,
                                bigSize, 0);
  HICON small = (HICON)LoadImageW(App().Module(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                  smallSize, smallSize, 0);
  if (big) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, (LPARAM)big);
  if (small) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, (LPARAM)small);
  if (big && bigIcon_) DestroyIcon(bigIcon_);
  if (small && smallIcon_) DestroyIcon(smallIcon_);
  if (big) bigIcon_ = big;
  if (small) smallIcon_ = small;
}

int Form::ClientWidth() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return r.right;
}

int Form::ClientHeight() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return r.bottom;
}

void Form::SetClientSize(int width, int height) {
  RECT w{}, c{};
  // Twice: a menu bar may wrap at the first width.
  for (int i = 0; i < 2; ++i) {
    GetWindowRect(hwnd_, &w);
    GetClientRect(hwnd_, &c);
    int dw = width - c.right, dh = height - c.bottom;
    if (dw == 0 && dh == 0) break;
    SetWindowPos(hwnd_, nullptr, 0, 0, (w.right - w.left) + dw, (w.bottom - w.top) + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SyncBounds();
}

void Form::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SyncBounds();
}

void Form::SyncBounds() {
  RECT r{};
  if (!hwnd_ || IsIconic(hwnd_)) return;
  GetWindowRect(hwnd_, &r);
  Control::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void Form::CenterOnScreen() {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SyncBounds();
}

void Form::SetVisible(bool visible) {
  Control::SetVisible(visible);
  if (!hwnd_) return;
  if (visible) {
    if (IsWindowVisible(hwnd_)) {
      SetForegroundWindow(hwnd_);
      return;
    }
    if (position_ == FormPosition::ScreenCenter) CenterOnScreen();
    Fire(OnShow);
    // Opened by the keyboard, it shows focus rectangles and access keys; by the mouse, not yet.
    SendMessageW(hwnd_, WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
  } else {
    ShowWindow(hwnd_, SW_HIDE);
  }
}

void Form::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(canClose);
  if (!canClose) return;
  if (modal_) {
    if (modalResult_ == kResultNone) modalResult_ = kResultCancel;
    return;
  }
  Fire(OnClose);
  Hide();
  if (this == App().MainForm()) App().Terminate();
}

int Form::ShowModal() {
  HWND previous = GetActiveWindow();
  ReleaseCapture();
  modal_ = true;
  modalResult_ = kResultNone;
  savedFocus_ = nullptr;  // not the control that had the focus when it was last closed
  auto disabled = App().DisableWindows(hwnd_);
  EnableWindow(hwnd_, TRUE);
  App().HoldInFront(hwnd_);
  Show();
  SetActiveWindow(hwnd_);
  FocusFirst();
  MSG msg;
  // Only the modal result or the quit request ends the loop: a minimised owner hides its owned
  // windows on the platform, and that must not end the modal display as cancelled.
  while (modalResult_ == kResultNone) {
    if (!App().HandleMessage(msg)) {
      // Emergency exit: end as cancelled and let the outer loop see the quit too.
      PostQuitMessage((int)msg.wParam);
      modalResult_ = kResultCancel;
      break;
    }
  }
  int result = modalResult_;
  App().ReleaseFront(hwnd_);
  App().EnableWindows(disabled);
  if (previous && previous != hwnd_ && IsWindow(previous) && IsWindowVisible(previous))
    SetActiveWindow(previous);
  Hide();
  modal_ = false;
  return result;
}

void Form::Minimize() {
  if (this == App().MainForm()) {
    App().Minimize();
  } else {
    ShowWindow(hwnd_, SW_MINIMIZE);
  }
}

bool Form::Minimized() const {
  if (this == App().MainForm()) return App().Minimized();
  return hwnd_ && IsIconic(hwnd_);
}

void Form::Restore() {
  if (this == App().MainForm()) {
    App().Restore();
  } else if (IsIconic(hwnd_)) {
    ShowWindow(hwnd_, SW_RESTORE);
  }
}

void Form::AlignClient(WinControl* control) {
  aligned_ = control;
  LayoutAligned();
}

void Form::LayoutAligned() {
  if (aligned_ && !IsIconic(hwnd_))
    aligned_->SetPixelBounds(RECT{0, 0, ClientWidth(), ClientHeight()});
}

WinControl* Form::ActiveControl() const {
  HWND focus = GetFocus();
  if (!focus || !IsChild(hwnd_, focus)) focus = savedFocus_;
  while (focus && focus != hwnd_) {
    if (WinControl* c = WinControl::FromHandle(focus)) return c;
    focus = GetParent(focus);
  }
  return nullptr;
}

void Form::FocusFirst() {
  std::vector<WinControl*> order;
  CollectTabOrder(order);
  for (WinControl* c : order) {
    if (c->CanFocus()) {
      c->SetFocus();
      return;
    }
  }
  ::SetFocus(hwnd_);
}

void Form::SelectNext(bool forward) {
  std::vector<WinControl*> order;
  CollectTabOrder(order);
  std::vector<WinControl*> focusable;
  for (WinControl* c : order)
    if (c->CanFocus()) focusable.push_back(c);
  if (focusable.empty()) return;
  WinControl* current = ActiveControl();
  int n = (int)focusable.size(), at = -1;
  for (int i = 0; i < n; ++i)
    if (focusable[i] == current) at = i;
  int next = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
  focusable[next]->SetFocus();
}

Form* Form::FromWindow(HWND hwnd) {
  if (!hwnd) return nullptr;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  return dynamic_cast<Form*>(WinControl::FromHandle(root));
}

namespace {

// The access key of a caption ("&1" -> '1'), or 0.
wchar_t AccessKey(const std::string& caption) {
  std::wstring w = ToWide(caption);
  for (size_t i = 0; i + 1 < w.size(); ++i) {
    if (w[i] == L'&') {
      if (w[i + 1] == L'&') {
        ++i;
        continue;
      }
      return (wchar_t)(UINT_PTR)CharUpperW((LPWSTR)(UINT_PTR)w[i + 1]);
    }
  }
  return 0;
}

// What the focused control wants of the key (WM_GETDLGCODE).
LRESULT DialogCode(const MSG& msg) {
  MSG copy = msg;
  return SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
}

}  // namespace

long Form::AccessibleRole() const {
  return border_ == BorderStyle::Dialog || border_ == BorderStyle::SingleNoSystem
             ? ROLE_SYSTEM_DIALOG
             : ROLE_SYSTEM_CLIENT;
}

bool Form::PressAccessKey(wchar_t key) {
  std::vector<WinControl*> order;
  CollectTabOrder(order);
  for (WinControl* c : order) {
    if (!c->CanFocus() || AccessKey(c->Caption()) != key) continue;
    if (auto* button = dynamic_cast<Button*>(c)) {
      button->SetFocus();
      button->Click();
      return true;
    }
    if (auto* box = dynamic_cast<CheckBox*>(c)) {
      box->SetFocus();
      box->SetChecked(!box->Checked());
      return true;
    }
  }
  return false;
}

bool Form::HandleDialogKey(const MSG& msg) {
  if (msg.message == WM_KEYDOWN) {
    bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
    if (msg.wParam == VK_TAB && !ctrl && !alt) {
      SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
      SelectNext(GetKeyState(VK_SHIFT) >= 0);
      return true;
    }
    if (msg.wParam == VK_ESCAPE && !alt) {
      // No form of ours has a cancel button: Esc does nothing, unless a control wants it
      // (an open drop-down list closes).
      return !(DialogCode(msg) & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE));
    }
    if (msg.wParam == VK_RETURN && !alt) {
      WinControl* focused = ActiveControl();
      if (auto* button = dynamic_cast<Button*>(focused)) {
        if (button->Enabled()) button->Click();
        return true;
      }
      // A control that wants Enter itself (an open drop-down list, a folder list) keeps it.
      if (DialogCode(msg) & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      if (defaultButton_ && IsWindowVisible(defaultButton_->Handle()) &&
          IsWindowEnabled(defaultButton_->Handle())) {
        defaultButton_->Click();
        return true;
      }
    }
    return false;
  }
  if (msg.message == WM_SYSCHAR || msg.message == WM_CHAR) {
    // A control that takes characters (an edit box, a list's type-ahead) keeps the bare key.
    if (msg.message == WM_CHAR && (DialogCode(msg) & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)))
      return false;
    wchar_t key = (wchar_t)(UINT_PTR)CharUpperW((LPWSTR)(UINT_PTR)(wchar_t)msg.wParam);
    if (!PressAccessKey(key)) return false;
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                 0);
    return true;
  }
  return false;
}

void Form::Recolor() {
  // The common controls among the children are told too, as the platform asks of their
  // top-level window.
  EnumChildWindows(
      hwnd_,
      [](HWND child, LPARAM) -> BOOL {
        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
        return TRUE;
      },
      0);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Form::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  const RECT rc = ps.rcPaint;
  if (rc.right > rc.left && rc.bottom > rc.top) {
    // Drawn into memory first, so moving pictures do not flicker.
    const gdi::BackBuffer buffer(dc, rc);
    HDC mem = buffer.Dc();
    for (GraphicControl* g : graphics_) {
      if (!g->Visible()) continue;
      RECT d = g->DrawnRect(), x;
      if (!IntersectRect(&x, &d, &rc)) continue;
      int saved = SaveDC(mem);
      g->Paint(mem);
      RestoreDC(mem, saved);
    }
  }
  EndPaint(hwnd_, &ps);
}

void Form::MouseEvent(UINT msg, LPARAM lparam) {
  int x = GET_X_LPARAM(lparam), y = GET_Y_LPARAM(lparam);
  MouseButton button = MouseButton::Left;
  if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) button = MouseButton::Right;
  if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP) button = MouseButton::Middle;
  bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  if (down) {
    GraphicControl* hit = nullptr;
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
      if ((*it)->Visible() && (*it)->Enabled() && (*it)->Contains(x, y)) {
        hit = *it;
        break;
      }
    }
    if (!hit) return;
    captured_ = hit;
    SetCapture(hwnd_);
    RECT r = hit->PixelRect();
    Fire(hit->OnMouseDown, button, ScaleFromDpi(x - r.left, dpi_), ScaleFromDpi(y - r.top, dpi_));
  } else if (captured_) {
    GraphicControl* hit = captured_;
    captured_ = nullptr;
    ReleaseCapture();
    RECT r = hit->PixelRect();
    Fire(hit->OnMouseUp, button, ScaleFromDpi(x - r.left, dpi_), ScaleFromDpi(y - r.top, dpi_));
    if (button == MouseButton::Left && hit->Contains(x, y)) Fire(hit->OnClick);
  }
}

bool Form::Offers(WPARAM command) const {
  const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
  switch (command) {
    case SC_MINIMIZE: return style & WS_MINIMIZEBOX;
    case SC_MAXIMIZE: return style & WS_MAXIMIZEBOX;
    case SC_CLOSE: return style & WS_SYSMENU;
    default: return true;
  }
}

bool Form::StateCommand(WPARAM command) {
  if (!IsStateCommand(command)) return false;
  // While another window is in front, this one is not the user's to change: the front comes
  // forward instead (so does it for a command that the title bar does not offer).
  if ((App().HasFront() && !App().InFront(hwnd_)) || !Offers(command)) {
    App().BringFrontForward();
    return true;
  }
  if (command == SC_CLOSE) {
    Close();
    return true;
  }
  // Minimise, maximise and restore change a shown window; they never show a hidden one.
  if (!IsWindowVisible(hwnd_)) return true;
  if (this == App().MainForm()) {
    if (command == SC_MINIMIZE) {
      App().Minimize();
      return true;
    }
    if (command == SC_RESTORE && App().Minimized()) {
      App().Restore();
      return true;
    }
  }
  if (command == SC_RESTORE && !IsIconic(hwnd_) && !IsZoomed(hwnd_)) return true;
  return false;
}

LRESULT Form::WindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  switch (msg) {
    case WM_CLOSE:
      // The user's close request: the title bar's close box and Alt+F4 come here too.
      StateCommand(SC_CLOSE);
      return 0;
    case WM_COMMAND:
      if (lparam) {
        if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lparam)))
          if (c->Reflect(msg, wparam, lparam, result)) return result;
      } else if (HIWORD(wparam) == 0) {
        MenuItem::DispatchCommand(LOWORD(wparam));
        return 0;
      }
      break;
    case WM_NOTIFY:
      if (WinControl* c = FromHandle(reinterpret_cast<NMHDR*>(lparam)->hwndFrom))
        if (c->Reflect(msg, wparam, lparam, result)) return result;
      break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
      if (dis->CtlType != ODT_MENU)
        if (WinControl* c = FromHandle(dis->hwndItem))
          if (c->Reflect(msg, wparam, lparam, result)) return TRUE;
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (mis->CtlType != ODT_MENU)
        if (WinControl* c = FromHandle(GetDlgItem(hwnd_, (int)mis->CtlID)))
          if (c->Reflect(msg, wparam, lparam, result)) return TRUE;
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lparam)))
        if (c->Reflect(msg, wparam, lparam, result)) return result;
      break;
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: MouseEvent(msg, lparam); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != hwnd_) captured_ = nullptr;
      break;
    case WM_SIZE:
      LayoutAligned();
      SyncBounds();
      break;
    case WM_MOVE: SyncBounds(); break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && App().HasFront() && !App().IsLastFront(hwnd_)) {
        // Activated behind a modal display, or clicked while a later window is open (the
        // progress window under its final box): the front keeps its place and its focus.
        App().KeepAbove(hwnd_);
        App().RequestFront();
      }
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) savedFocus_ = focus;
      } else if (!HIWORD(wparam)) {
        if (savedFocus_ && IsWindow(savedFocus_) && IsWindowVisible(savedFocus_) &&
            IsWindowEnabled(savedFocus_))
          ::SetFocus(savedFocus_);
        else
          FocusFirst();
      }
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (!(reinterpret_cast<WINDOWPOS*>(lparam)->flags & SWP_NOZORDER)) App().KeepAbove(hwnd_);
      break;
    case WM_SYSCOMMAND:
      if (StateCommand(wparam & 0xFFF0)) return 0;
      break;
    case WM_DROPFILES: Fire(OnDropFiles, reinterpret_cast<HDROP>(wparam)); return 0;
    case WM_GETOBJECT:
      if (LRESULT object = AnswerGetObject(hwnd_, wparam, lparam)) return object;
      break;
    case WM_SYSCOLORCHANGE: Recolor(); break;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETHIGHCONTRAST) Recolor();
      break;
    case WM_DPICHANGED: ApplyDpi(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam)); return 0;
  }
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

}  // namespace vemo::ui
