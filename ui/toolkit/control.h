// Base classes of everything placed on a form: Control (name, bounds, caption, font, states),
// WinControl (a control with its own window handle, tab order and children) and
// GraphicControl (drawn by its form: labels and images; always below the windowed controls).
// Bounds and font heights are layout units (96 DPI); what the screen shows is scaled to the
// form's DPI (PixelRect, the fonts handed to the windows).
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "colors.h"
#include "dpi.h"
#include "font.h"

namespace vemo::ui {

class Form;
class WinControl;

// Where and how a control is created.
struct Layout {
  std::string name;
  int left = 0, top = 0, width = 0, height = 0;
  std::string caption;
  std::optional<FontSpec> font;  // none: the parent's font
  int tab = -1;                  // tab order among the parent's windowed controls
};

enum class MouseButton { Left, Right, Middle };

class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const std::string& Name() const { return name_; }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetPos(int left, int top) { SetBounds(left, top, width_, height_); }
  void SetSize(int width, int height) { SetBounds(left_, top_, width, height); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  virtual std::string Caption() const { return caption_; }
  virtual void SetCaption(const std::string& caption);

  const FontSpec& Font() const { return font_; }
  virtual void SetFont(const FontSpec& font);

  // What assistive technology reads (accessible.h). The name is the caption as shown, or the
  // label where there is none (an empty panel); the label also names a standard control whose
  // caption is its value (an edit box), through the system.
  virtual std::string AccessibleName() const;
  const std::string& AccessibleLabel() const { return accessibleLabel_; }
  virtual void SetAccessibleLabel(const std::string& label) { accessibleLabel_ = label; }
  // The role (ROLE_SYSTEM_*) of a control that the program serves itself; 0 where the system
  // serves it (standard controls).
  virtual long AccessibleRole() const { return 0; }
  // The value of a control that the program serves itself (a text box's line); none by default.
  virtual std::string AccessibleValue() const { return {}; }

  // The colour its text is drawn in on the face colour: greyed while disabled.
  COLORREF DrawnTextColor() const {
    return enabled_ ? TextColor(font_) : GetSysColor(COLOR_GRAYTEXT);
  }

  Form* OwnerForm() const { return form_; }
  WinControl* Parent() const { return parent_; }
  // The DPI the control is shown at (its form's).
  int Dpi() const;
  // The bounds in pixels at that DPI, in the parent's client coordinates.
  RECT PixelRect() const;
  int Pixels(int units) const { return ScaleToDpi(units, Dpi()); }

 protected:
  void Init(WinControl* parent, const Layout& layout);

  std::string name_, caption_, accessibleLabel_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true, enabled_ = true;
  FontSpec font_;
  Form* form_ = nullptr;
  WinControl* parent_ = nullptr;
};

class WinControl : public Control {
 public:
  HWND Handle() const { return hwnd_; }
  int TabOrder() const { return tab_; }
  // Whether the kind of control takes the focus at all (edits, buttons, lists).
  virtual bool TabStop() const { return false; }
  bool CanFocus() const;
  void SetFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
  }
  bool Focused() const;
  const std::vector<WinControl*>& Children() const { return children_; }

  void SetBounds(int left, int top, int width, int height) override;
  // Places the window in pixels (a control that fills its form); the bounds follow in units.
  void SetPixelBounds(const RECT& pixels);
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetFont(const FontSpec& font) override;
  void SetAccessibleLabel(const std::string& label) override;

  // A notification that the parent window received for this control (WM_COMMAND,
  // WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*). Return true when handled.
  virtual bool Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);

  // The font the window is given: the control's font at its DPI, narrowed where the caption
  // would not fit its room (CaptionRoom).
  HFONT DrawnFont() const;
  // The width in pixels that the caption's text has, or 0 when the caption is not fitted.
  virtual int CaptionRoom() const { return 0; }
  // Places the window and sets its font again at the form's DPI, then its children.
  virtual void Relayout();

  // The control object attached to a window handle of ours, or null: the one way from a window
  // to its object (a window property; Attach).
  static WinControl* FromHandle(HWND hwnd);
  // The one window procedure of the program's window classes (forms, custom controls, the
  // application window): the message goes to the attached object's WindowMessage, and what it
  // throws becomes the general error report. A window made with its object as the creation
  // parameter (a form) is attached as it is made; any other once CreateWindowExW has returned.
  // Without an object (before that, after WM_NCDESTROY) the system answers.
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  // Windowed controls in tab order, depth first through containers.
  void CollectTabOrder(std::vector<WinControl*>& out) const;

 protected:
  void CreateWindowed(WinControl* parent, const Layout& layout, const wchar_t* windowClass,
                      DWORD style, DWORD exStyle = 0);
  void Attach(HWND hwnd);
  // A message to a window of one of our classes (WindowProc).
  virtual LRESULT WindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, msg, wparam, lparam);
  }
  // A system control whose messages the control sees first: each reaches SubclassMessage
  // (true when handled, with its result), guarded as in WindowProc, then the control's class.
  void Subclass();
  virtual bool SubclassMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
  void AddTo(WinControl& parent) { parent.children_.push_back(this); }
  void ApplyFont();
  // Default colours for the parent's WM_CTLCOLOR* answer.
  bool ColorReply(HDC dc, LRESULT& result, int background = COLOR_BTNFACE);

  HWND hwnd_ = nullptr;
  int tab_ = -1;
  std::vector<WinControl*> children_;

 private:
  void Detach();
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR);
};

class GraphicControl : public Control {
 public:
  std::function<void()> OnClick;
  std::function<void(MouseButton, int x, int y)> OnMouseDown;
  std::function<void(MouseButton, int x, int y)> OnMouseUp;

  // Draws the control in its form's client coordinates (pixels).
  virtual void Paint(HDC dc) = 0;
  void Invalidate() const;
  // The part of the form it draws on, in pixels (may be larger than the bounds, for labels).
  virtual RECT DrawnRect() const;
  // Whether a point of the form's client area (pixels) lies on the control.
  bool Contains(int x, int y) const;

  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void SetCaption(const std::string& caption) override;
  void SetFont(const FontSpec& font) override;

 protected:
  void CreateGraphic(WinControl* parent, const Layout& layout);
};

}  // namespace vemo::ui
