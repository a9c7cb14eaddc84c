#include "control.h"

#include <commctrl.h>

#include <algorithm>

#include "accessible.h"
#include "application.h"
#include "form.h"
#include "window_text.h"

namespace vemo::ui {

namespace {
const wchar_t kObjectProp[] = L"VemoControl";
int nextControlId = 1000;
}  // namespace

// ---- Control

void Control::Init(WinControl* parent, const Layout& layout) {
  name_ = layout.name;
  caption_ = layout.caption;
  left_ = layout.left;
  top_ = layout.top;
  width_ = layout.width;
  height_ = layout.height;
  parent_ = parent;
  form_ = parent ? parent->OwnerForm() : nullptr;
  if (layout.font) {
    font_ = *layout.font;
  } else if (parent) {
    font_ = parent->Font();
  }
}

void Control::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}
int Control::Dpi() const { return form_ ? form_->Dpi() : kDesignDpi; }

RECT Control::PixelRect() const {
  int dpi = Dpi(), left = ScaleToDpi(left_, dpi), top = ScaleToDpi(top_, dpi);
  return RECT{left, top, left + ScaleToDpi(width_, dpi), top + ScaleToDpi(height_, dpi)};
}

void Control::SetVisible(bool visible) { visible_ = visible; }
void Control::SetEnabled(bool enabled) { enabled_ = enabled; }
void Control::SetCaption(const std::string& caption) { caption_ = caption; }
void Control::SetFont(const FontSpec& font) { font_ = font; }

std::string Control::AccessibleName() const {
  std::string shown = ToUtf8(ShownText(Caption()));
  return shown.empty() ? accessibleLabel_ : shown;
}

// ---- WinControl

WinControl* WinControl::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  // Another process of ours marks its windows the same way; its pointers mean nothing here.
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId()) return nullptr;
  return reinterpret_cast<WinControl*>(GetPropW(hwnd, kObjectProp));
}

void WinControl::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProp, reinterpret_cast<HANDLE>(this));
}

void WinControl::Detach() {
  if (hwnd_) RemovePropW(hwnd_, kObjectProp);
  hwnd_ = nullptr;
}

LRESULT CALLBACK WinControl::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE)
    if (auto* made =
            static_cast<WinControl*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams))
      made->Attach(hwnd);
  WinControl* self = FromHandle(hwnd);
  if (msg == WM_NCDESTROY && self) self->Detach();
  if (!self || msg == WM_NCDESTROY) return DefWindowProcW(hwnd, msg, wparam, lparam);
  return GuardedAnswer([&] { return self->WindowMessage(msg, wparam, lparam); });
}

void WinControl::Subclass() { SetWindowSubclass(hwnd_, SubclassProc, 1, 0); }

LRESULT CALLBACK WinControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR, DWORD_PTR) {
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, SubclassProc, 1);
  WinControl* self = FromHandle(hwnd);
  return GuardedAnswer([&] {
    LRESULT result = 0;
    if (self && msg != WM_NCDESTROY && self->SubclassMessage(msg, wparam, lparam, result))
      return result;
    return DefSubclassProc(hwnd, msg, wparam, lparam);
  });
}

void WinControl::CreateWindowed(WinControl* parent, const Layout& layout,
                                const wchar_t* windowClass, DWORD style, DWORD exStyle) {
  Init(parent, layout);
  tab_ = layout.tab;
  HWND parentHwnd = parent->Handle();
  RECT r = PixelRect();
  HWND hwnd =
      CreateWindowExW(exStyle, windowClass, ToWide(layout.caption).c_str(),
                      style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, r.left, r.top,
                      r.right - r.left, r.bottom - r.top, parentHwnd,
                      reinterpret_cast<HMENU>((INT_PTR)nextControlId++), App().Module(), nullptr);
  Attach(hwnd);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(DrawnFont()), FALSE);
  // A later control lies above an earlier one.
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  parent->children_.push_back(this);
}

bool WinControl::CanFocus() const {
  if (!hwnd_ || !TabStop() || !IsWindowVisible(hwnd_) || !IsWindowEnabled(hwnd_)) return false;
  for (WinControl* p = parent_; p && p != (WinControl*)form_; p = p->Parent())
    if (!IsWindowEnabled(p->Handle())) return false;
  return true;
}

bool WinControl::Focused() const {
  HWND focus = GetFocus();
  return focus && (focus == hwnd_ || IsChild(hwnd_, focus));
}

void WinControl::SetBounds(int left, int top, int width, int height) {
  Control::SetBounds(left, top, width, height);
  if (!hwnd_) return;
  RECT r = PixelRect();
  SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void WinControl::SetPixelBounds(const RECT& r) {
  int dpi = Dpi();
  Control::SetBounds(ScaleFromDpi(r.left, dpi), ScaleFromDpi(r.top, dpi),
                     ScaleFromDpi(r.right - r.left, dpi), ScaleFromDpi(r.bottom - r.top, dpi));
  if (hwnd_)
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT WinControl::DrawnFont() const {
  int room = CaptionRoom();
  if (room <= 0) return GetFont(font_, Dpi());
  return FittedFont(font_, Dpi(), ShownText(caption_), room);
}

void WinControl::ApplyFont() {
  if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(DrawnFont()), TRUE);
}

void WinControl::Relayout() {
  SetBounds(left_, top_, width_, height_);
  ApplyFont();
  for (WinControl* child : children_) child->Relayout();
}

void WinControl::SetVisible(bool visible) {
  Control::SetVisible(visible);
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void WinControl::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

std::string WinControl::Caption() const { return hwnd_ ? WindowText(hwnd_) : caption_; }

void WinControl::SetCaption(const std::string& caption) {
  Control::SetCaption(caption);
  if (hwnd_) SetWindowTextW(hwnd_, ToWide(caption).c_str());
  if (CaptionRoom() > 0) ApplyFont();
}

void WinControl::SetFont(const FontSpec& font) {
  Control::SetFont(font);
  ApplyFont();
}

void WinControl::SetAccessibleLabel(const std::string& label) {
  Control::SetAccessibleLabel(label);
  // A window of ours answers with the label itself; the system's objects read an annotation.
  if (hwnd_ && AccessibleRole() == 0) AnnotateName(hwnd_, label);
}

bool WinControl::Reflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool WinControl::ColorReply(HDC dc, LRESULT& result, int background) {
  SetTextColor(dc, TextColor(font_, background));
  SetBkColor(dc, GetSysColor(background));
  result = reinterpret_cast<LRESULT>(GetSysColorBrush(background));
  return true;
}

void WinControl::CollectTabOrder(std::vector<WinControl*>& out) const {
  std::vector<WinControl*> sorted = children_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](WinControl* a, WinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (WinControl* c : sorted) {
    out.push_back(c);
    c->CollectTabOrder(out);
  }
}

// ---- GraphicControl

void GraphicControl::CreateGraphic(WinControl* parent, const Layout& layout) {
  Init(parent, layout);
  if (form_) form_->AddGraphic(this);
  Invalidate();
}

RECT GraphicControl::DrawnRect() const { return PixelRect(); }

bool GraphicControl::Contains(int x, int y) const {
  RECT r = PixelRect();
  POINT p{x, y};
  return PtInRect(&r, p) != FALSE;
}

void GraphicControl::Invalidate() const {
  if (form_ && form_->Handle()) {
    RECT r = DrawnRect();
    InvalidateRect(form_->Handle(), &r, FALSE);
  }
}

void GraphicControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (visible_) Invalidate();
  Control::SetBounds(left, top, width, height);
  if (visible_) Invalidate();
}

void GraphicControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  Control::SetVisible(visible);
  Invalidate();
}

void GraphicControl::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  Invalidate();
}

void GraphicControl::SetCaption(const std::string& caption) {
  Invalidate();
  Control::SetCaption(caption);
  Invalidate();
}

void GraphicControl::SetFont(const FontSpec& font) {
  Invalidate();
  Control::SetFont(font);
  Invalidate();
}

}  // namespace vemo::ui
