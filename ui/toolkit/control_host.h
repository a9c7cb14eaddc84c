// A plain child window that holds one standard control of ours (a list box, a combo box)
// and receives what that control tells its parent: commands, owner drawing, measuring.
// So the control works in any form without the form knowing about it.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

namespace vemo {

class ControlHost {
 public:
  ControlHost() = default;
  ControlHost(const ControlHost&) = delete;
  ControlHost& operator=(const ControlHost&) = delete;
  virtual ~ControlHost();

  // The outer window (placed in the form) and the standard control inside it.
  HWND handle() const { return host_; }
  HWND inner() const { return inner_; }

  // Where an exception that escapes a user action inside a hosted control goes;
  // the application sets it to its general error report.
  static std::function<void(const std::exception&)>& ErrorReport();

 protected:
  // Makes the host window in the parent; the derived class then makes the inner control
  // with MakeInner.
  void CreateHost(HWND parent, int left, int top, int width, int height);
  HWND MakeInner(const wchar_t* window_class, DWORD style, DWORD ex_style, int height);

  virtual void OnCommand(int /*code*/) {}
  virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
  virtual void OnMeasureItem(MEASUREITEMSTRUCT& /*item*/) {}
  // Messages of the inner control before its own handling; return true when handled.
  virtual bool OnInnerMessage(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/,
                              LRESULT& /*result*/) {
    return false;
  }

  // Runs a user action, sending any exception to the error report.
  void Guarded(const std::function<void()>& action);

 private:
  static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK InnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR data);

  HWND host_ = nullptr;
  HWND inner_ = nullptr;
};

}  // namespace vemo
