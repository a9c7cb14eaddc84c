// GDI resources given back when they go out of scope, whichever way the scope ends: one class per
// kind (an object made here, a memory DC, a window's DC, a selection), and the back buffer the
// windows draw through.
#pragma once

#include <windows.h>

namespace vemo::ui::gdi {

// A pen, brush, bitmap or font made here: DeleteObject. Stock objects are not made here.
template <typename T>
class Object {
 public:
  explicit Object(T object) : object_(object) {}
  ~Object() {
    if (object_) DeleteObject(object_);
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  T Get() const { return object_; }

 private:
  T object_;
};

// A memory DC compatible with `like` (the screen where null): DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// A window's DC (the screen's where null): ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a DC; the one it replaced is selected again at the end.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), replaced_(SelectObject(dc, object)) {}
  ~Selection() {
    if (replaced_) SelectObject(dc_, replaced_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ replaced_;
};

// A memory DC with a font selected, for measuring text.
class FontDc {
 public:
  explicit FontDc(HFONT font) : selection_(dc_.Get(), font) {}
  HDC Get() const { return dc_.Get(); }

 private:
  MemoryDc dc_;
  Selection selection_;
};

// Drawing into memory first and onto `target` in one copy at the end, so that what moves does
// not flicker. Dc() takes the target's coordinates of `area`, filled with the dialog colour.
class BackBuffer {
 public:
  BackBuffer(HDC target, const RECT& area)
      : target_(target),
        area_(area),
        memory_(target),
        bitmap_(CreateCompatibleBitmap(target, Width(), Height())),
        selection_(memory_.Get(), bitmap_.Get()) {
    SetViewportOrgEx(memory_.Get(), -area.left, -area.top, nullptr);
    FillRect(memory_.Get(), &area_, GetSysColorBrush(COLOR_BTNFACE));
  }
  ~BackBuffer() {
    SetViewportOrgEx(memory_.Get(), 0, 0, nullptr);
    BitBlt(target_, area_.left, area_.top, Width(), Height(), memory_.Get(), 0, 0, SRCCOPY);
  }
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;
  HDC Dc() const { return memory_.Get(); }

 private:
  int Width() const { return area_.right - area_.left; }
  int Height() const { return area_.bottom - area_.top; }

  HDC target_;
  RECT area_;
  MemoryDc memory_;
  Object<HBITMAP> bitmap_;
  Selection selection_;
};

}  // namespace vemo::ui::gdi
