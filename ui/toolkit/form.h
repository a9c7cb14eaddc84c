// A top-level window of the program. Forms are owned by the application window (which holds
// the taskbar button), are hidden rather than destroyed, and can be shown modally. A form is
// laid out at the DPI of its monitor (its size in layout units scaled, and every control with
// it) and again when it moves to a monitor of another DPI (WM_DPICHANGED). Its own bounds
// (Left, Top, Width, Height, ClientWidth, ClientHeight) are screen pixels.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "control.h"

namespace vemo::ui {

class Button;
class MainMenu;

enum class BorderStyle {
  Single,          // fixed frame; system menu, close and minimise buttons
  Sizeable,        // sizeable frame; system menu, minimise and maximise buttons
  Dialog,          // dialog frame; close button only
  SingleNoSystem,  // fixed frame, title bar without system menu or buttons
};

enum class FormPosition { System, ScreenCenter };

// Modal results, the platform's dialog answers.
enum : int { kResultNone = 0, kResultOk = 1, kResultCancel = 2, kResultYes = 6, kResultNo = 7 };

// The program's icon: the exe's first icon group, which the shell shows too. Every form
// carries it.
constexpr int kProgramIcon = 1;

struct FormSpec {
  std::string name;
  std::string caption;
  BorderStyle border = BorderStyle::Single;
  FormPosition position = FormPosition::System;
  int width = 0, height = 0;  // client size, or outer size when outerSize set (layout units)
  bool outerSize = false;
  FontSpec font;
};

class Form : public WinControl {
 public:
  std::function<void()> OnShow;  // each time the form becomes visible
  std::function<void(bool& canClose)> OnCloseQuery;
  std::function<void()> OnClose;           // after a close was allowed
  std::function<void(HDROP)> OnDropFiles;  // WM_DROPFILES, once DragAcceptFiles is on

  Form() = default;
  ~Form() override;

  void CreateForm(const FormSpec& spec);
  void SetMenu(MainMenu& menu);
  // The window's icons, at the sizes of its DPI.
  void SetIcon(int resourceId);
  BorderStyle Border() const { return border_; }
  int Dpi() const { return dpi_; }
  // Lays the form out at another DPI: the frame, every control, fonts and icons. `suggested`
  // is where the system proposes the window at that DPI (WM_DPICHANGED).
  void ApplyDpi(int dpi, const RECT* suggested = nullptr);
  FormPosition Position() const { return position_; }

  // Showing and closing. The user's close requests (close box, Alt+F4, WM_CLOSE) reach
  // Close() only on a form with a system menu, and only while no other window is in front
  // (application.h); a form without one is closed by the program alone.
  void SetVisible(bool visible) override;  // Show() / Hide()
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  void Close();  // close query, then hide (main form: quit)
  // Shows the form in front of the others, which stay disabled until it ends, with the focus on
  // its first control in tab order; returns the modal result (6, 7, 2, ...). It ends through
  // its modal result or a WM_QUIT only: hiding it from outside does not end it.
  int ShowModal();
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }

  // Minimising: the main form minimises the whole application (its taskbar button).
  void Minimize();
  void Restore();
  bool Minimized() const;

  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);  // pixels
  void SetBounds(int left, int top, int width, int height) override;

  void SetDefaultButton(Button* button) { defaultButton_ = button; }
  Button* DefaultButton() const { return defaultButton_; }
  // The control that has (or last had) the focus in this form.
  WinControl* ActiveControl() const;
  void FocusFirst();
  // Moves the focus along the tab order (Tab, Shift+Tab).
  void SelectNext(bool forward);

  // A control that fills the client area and follows its size.
  void AlignClient(WinControl* control);
  // Drawn-only controls, in creation order (back to front).
  void AddGraphic(GraphicControl* control) { graphics_.push_back(control); }
  const std::vector<GraphicControl*>& Graphics() const { return graphics_; }

  // Keyboard handling of dialogs, before the focused control sees the key: Tab and Shift+Tab
  // move along the tab order; Enter clicks a focused button, else the default button; Esc
  // does nothing; Alt+key clicks the button (or toggles the check box) whose caption has that
  // access key, and so does the bare key while the focused control takes no characters (a
  // button). A control that answers WM_GETDLGCODE with DLGC_WANTALLKEYS or DLGC_WANTMESSAGE
  // for Enter or Esc (an open drop-down list) gets the key itself. Focus rectangles and access
  // key underlines follow the keyboard cues: set from the last input when the form is shown,
  // shown once the keyboard moves the focus or uses an access key. True when consumed.
  bool HandleDialogKey(const MSG& msg);
  static Form* FromWindow(HWND hwnd);  // the form a window of ours belongs to

  // Read as a dialog when its frame is a dialog's or has no system menu (the About box, the
  // progress window, the drop question), else as a window's client area.
  long AccessibleRole() const override;

 protected:
  LRESULT WindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint();
  void MouseEvent(UINT msg, LPARAM lparam);
  void CenterOnScreen();
  void LayoutAligned();
  void SyncBounds();
  // What the title bar offers this form: minimise and maximise boxes, the close box.
  bool Offers(WPARAM command) const;
  // A user's request to change the form's state (WM_SYSCOMMAND); true when it was handled.
  bool StateCommand(WPARAM command);
  void SizeFrame();
  // Clicks the button or toggles the check box whose caption has this access key.
  bool PressAccessKey(wchar_t key);
  // System colours changed (high contrast on or off): everything is drawn again.
  void Recolor();

  BorderStyle border_ = BorderStyle::Single;
  FormPosition position_ = FormPosition::System;
  bool modal_ = false;
  int modalResult_ = 0;
  Button* defaultButton_ = nullptr;
  HWND savedFocus_ = nullptr;
  WinControl* aligned_ = nullptr;
  std::vector<GraphicControl*> graphics_;
  GraphicControl* captured_ = nullptr;
  MainMenu* menu_ = nullptr;
  int dpi_ = kDesignDpi;
  int designWidth_ = 0, designHeight_ = 0;
  bool outerSize_ = false;
  int iconId_ = 0;
  HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
};

}  // namespace vemo::ui
