// The application's core: its window and title, message boxes and the error report, the
// message loop with the dialog keys, the quit request, whole-application minimise and restore.
#include "application.h"

#include <commctrl.h>

#include <stdexcept>

#include "dpi.h"
#include "form.h"
#include "timer.h"
#include "window_text.h"

namespace vemo::ui {

void RegisterFormClass(HINSTANCE module);         // form.cpp
void RegisterContainerClasses(HINSTANCE module);  // group_box.cpp / panel.cpp

Application& Application::Instance() {
  static Application app;
  return app;
}

// The application window's answers (its object is ApplicationWindow, below).
LRESULT AppAnswer(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Application& app = Application::Instance();
  switch (msg) {
    case kQueueMessage: app.Drain(app.queue_); return 0;
    case kLaterMessage: SetTimer(hwnd, kLaterTimer, kLaterMs, nullptr); return 0;
    case kFrontMessage: app.FrontRequested(); return 0;
    case WM_TIMER:
      if (wparam == kLaterTimer) {
        KillTimer(hwnd, kLaterTimer);
        app.Drain(app.later_);
      } else if (wparam == kStrandedTimer) {
        app.DrainStranded();
      } else if (wparam == kFrontTimer) {
        KillTimer(hwnd, kFrontTimer);
        app.BringFrontForward();
      } else {
        Timer::Dispatch(wparam);
      }
      return 0;
    case WM_SYSCOMMAND: {
      // The taskbar button's commands act on the whole application, or bring forward what is
      // in front (a modal display: the application stays as it is until it has ended).
      const WPARAM command = wparam & 0xFFF0;
      if (app.HasFront() && IsStateCommand(command)) {
        app.BringFrontForward();
        return 0;
      }
      switch (command) {
        case SC_RESTORE: app.Restore(); return 0;
        case SC_MINIMIZE: app.Minimize(); return 0;
        case SC_MAXIMIZE: return 0;  // the application window has no area to maximise
        case SC_CLOSE:
          if (app.MainForm()) app.MainForm()->Close();
          return 0;
      }
      break;
    }
    case WM_CLOSE:
      if (app.HasFront()) {
        app.BringFrontForward();
      } else if (app.MainForm()) {
        app.MainForm()->Close();
      }
      return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wparam) Fire(app.OnEndSession);
      return 0;
    case WM_QUERYOPEN:
      if (app.HasFront()) {
        app.RequestFront();
        return FALSE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) break;
      if (app.HasFront()) {
        app.RequestFront();
        return 0;
      }
      // Hand the activation to the main form when the taskbar button is activated.
      if (!IsIconic(hwnd) && app.MainForm() && app.MainForm()->Visible() &&
          IsWindowEnabled(app.MainForm()->Handle())) {
        SetActiveWindow(app.MainForm()->Handle());
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

namespace {

// The application window's object: its messages come through the one window procedure, as every
// window's of ours.
class ApplicationWindow : public WinControl {
 public:
  void AttachTo(HWND hwnd) { Attach(hwnd); }

 protected:
  LRESULT WindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    return AppAnswer(hwnd_, msg, wparam, lparam);
  }
};

}  // namespace

void Application::Initialize() {
  if (handle_) return;
  module_ = GetModuleHandleW(nullptr);
  uiThread_ = GetCurrentThreadId();
  // A drive without a medium answers with an error instead of a "no disk" box.
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  EnsureDpiAwareness();
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WinControl::WindowProc;
  wc.hInstance = module_;
  wc.hIcon = LoadIconW(module_, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"VemoApplication";
  RegisterClassExW(&wc);
  RegisterFormClass(module_);
  RegisterContainerClasses(module_);

  // A zero-sized window that owns every form and holds the taskbar button and its text.
  int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
  handle_ = CreateWindowExW(0, wc.lpszClassName, ToWide(title_).c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            cx, cy, 0, 0, nullptr, nullptr, module_, nullptr);
  static ApplicationWindow window;
  window.AttachTo(handle_);
  SetTimer(handle_, kStrandedTimer, kStrandedMs, nullptr);
}

std::string Application::Title() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return title_;
}

void Application::SetTitle(const std::string& title) {
  RequireUiThread("SetTitle");
  {
    std::lock_guard<std::mutex> lock(mutex_);
    title_ = title;
  }
  if (!handle_) return;
  SetWindowTextW(handle_, ToWide(title).c_str());
}

void Application::RequireUiThread(const char* what) const {
  if (uiThread_ && !OnUiThread())
    throw std::logic_error(std::string(what) + " called off the user-interface thread");
}

std::vector<HWND> Application::DisableWindows(HWND except) {
  struct Ctx {
    HWND except, app;
    std::vector<HWND> list;
  } ctx{except, handle_, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        // Hidden forms too: one shown during the modal display (restored from outside) must
        // not be usable beside it.
        const bool ours = hwnd == c->app || Form::FromWindow(hwnd) || IsWindowVisible(hwnd);
        if (hwnd != c->except && ours && IsWindowEnabled(hwnd)) {
          EnableWindow(hwnd, FALSE);
          c->list.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return ctx.list;
}

void Application::EnableWindows(const std::vector<HWND>& windows) {
  for (HWND hwnd : windows)
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
}

int Application::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  // Owned by the window in front, so that it stays above it; else by the active window.
  HWND owner = LastOwnFront();
  if (!owner) owner = GetActiveWindow();
  if (!owner) owner = handle_;
  auto disabled = DisableWindows(nullptr);
  int answer = ShowMessageBox(owner, text, caption, flags);
  EnableWindows(disabled);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
  return answer;
}

void Application::ShowErrorReport(const std::string& message) {
  MessageBox(message + ".", Title(), MB_ICONSTOP | MB_OK);
}

void Application::ReportCurrentException() {
  try {
    throw;
  } catch (const SilentAbort&) {
  } catch (const std::exception& e) {
    ShowErrorReport(e.what());
  } catch (...) {
    ShowErrorReport("Unknown error");
  }
}

void Application::Terminate() {
  quitting_ = true;
  if (OnUiThread()) {
    PostQuitMessage(0);
  } else {
    PostThreadMessageW(uiThread_, WM_QUIT, 0, 0);
  }
}

void Application::Dispatch(MSG& msg) {
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    // A disabled window takes no keys (one posted to it would press its buttons).
    Form* form = Form::FromWindow(msg.hwnd);
    if (form && !IsWindowEnabled(form->Handle())) return;
  }
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSCHAR || msg.message == WM_CHAR) {
    if (Form* form = Form::FromWindow(msg.hwnd)) {
      bool consumed = false;
      Guarded([&] { consumed = form->HandleDialogKey(msg); });
      if (consumed) return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool Application::HandleMessage(MSG& msg) {
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
    quitting_ = true;
    return false;
  }
  Dispatch(msg);
  return true;
}

bool Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitting_ = true;
      PostQuitMessage((int)msg.wParam);
      return false;
    }
    Dispatch(msg);
  }
  return true;
}

void Application::Run(Form& mainForm) {
  mainForm_ = &mainForm;
  ShowWindow(handle_, SW_SHOWNOACTIVATE);
  Guarded([&] { mainForm.Show(); });
  MSG msg;
  while (HandleMessage(msg)) {
  }
}

void Application::Minimize() {
  if (HasFront()) {
    BringFrontForward();
    return;
  }
  // The forms go with the taskbar button and come back with it.
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM p) -> BOOL {
        auto* app = reinterpret_cast<Application*>(p);
        if (hwnd != app->handle_ && IsWindowVisible(hwnd) && Form::FromWindow(hwnd) &&
            GetWindow(hwnd, GW_OWNER) == app->handle_) {
          ShowWindow(hwnd, SW_HIDE);
          app->minimizedForms_.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
  ShowWindow(handle_, SW_MINIMIZE);
}

void Application::Restore() {
  if (HasFront()) {
    BringFrontForward();
    return;
  }
  if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
  std::vector<HWND> forms;
  forms.swap(minimizedForms_);
  for (HWND hwnd : forms)
    if (IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOWNA);
  if (mainForm_ && mainForm_->Visible() && IsWindowEnabled(mainForm_->Handle()))
    SetActiveWindow(mainForm_->Handle());
}

bool Application::Minimized() const { return handle_ && IsIconic(handle_); }

}  // namespace vemo::ui
