#include "application.h"

#include <commctrl.h>

#include <algorithm>

#include "dpi.h"
#include "form.h"
#include "text.h"
#include "timer.h"

namespace vemo::ui {

void RegisterFormClass(HINSTANCE module);         // form.cpp
void RegisterContainerClasses(HINSTANCE module);  // group_box.cpp / panel.cpp

Application& Application::Instance() {
  static Application app;
  return app;
}

namespace {

// Timers of the application window, far above the ids of ui::Timer.
constexpr UINT_PTR kLaterTimer = 0x7F00;  // PostLater's wake
constexpr UINT_PTR kFrontTimer = 0x7F01;  // BringFrontForward again, once the mouse is up
constexpr UINT kFrontRetryMs = 50;

// A mouse button is down: as far as this thread has seen (a click it is handling has not ended)
// or as the hardware says.
bool MouseButtonDown() {
  for (int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
    if (GetKeyState(button) < 0 || (GetAsyncKeyState(button) & 0x8000)) return true;
  return false;
}

bool OwnThread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

}  // namespace

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Application& app = Application::Instance();
  switch (msg) {
    case kQueueMessage: app.DrainQueue(); return 0;
    case kLaterMessage: SetTimer(hwnd, kLaterTimer, kLaterMs, nullptr); return 0;
    case kFrontMessage: app.FrontRequested(); return 0;
    case WM_TIMER:
      if (wparam == kLaterTimer) {
        KillTimer(hwnd, kLaterTimer);
        app.DrainLater();
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
  wc.lpfnWndProc = AppProc;
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
}

std::string Application::Title() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return title_;
}

void Application::SetTitle(const std::string& title) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    title_ = title;
  }
  if (!handle_) return;
  if (OnUiThread()) {
    SetWindowTextW(handle_, ToWide(title).c_str());
  } else {
    Post([this] { SetWindowTextW(handle_, ToWide(Title()).c_str()); });
  }
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

void Application::HoldInFront(HWND window) {
  std::lock_guard<std::mutex> lock(mutex_);
  fronts_.push_back(window);
}

void Application::ReleaseFront(HWND window) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find(fronts_.rbegin(), fronts_.rend(), window);
  if (it != fronts_.rend()) fronts_.erase(std::next(it).base());
}

std::vector<HWND> Application::Fronts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<HWND> alive;
  for (HWND window : fronts_)
    if (IsWindow(window)) alive.push_back(window);
  return alive;
}

bool Application::HasFront() const { return !Fronts().empty(); }

bool Application::InFront(HWND window) const {
  std::vector<HWND> fronts = Fronts();
  return std::find(fronts.begin(), fronts.end(), window) != fronts.end();
}

namespace {

// Raises a window to the top of the z-order without activating it; a window of another
// thread (a run's final box) is raised by that thread, so nobody waits here.
void Raise(HWND window) {
  SetWindowPos(
      window, HWND_TOP, 0, 0, 0, 0,
      SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (OwnThread(window) ? 0 : SWP_ASYNCWINDOWPOS));
}

}  // namespace

void Application::BringFrontForward() {
  const std::vector<HWND> fronts = Fronts();
  if (fronts.empty()) return;
  if (MouseButtonDown()) {
    // The user is clicking (or holding the walker's folder): the click ends where it began,
    // and the front takes the focus once the button is up.
    for (HWND window : fronts) Raise(window);
    SetTimer(handle_, kFrontTimer, kFrontRetryMs, nullptr);
    return;
  }
  for (HWND window : fronts) {
    if (OwnThread(window)) {
      // Minimising an owner hides its owned windows; in front they are shown whatever happened.
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNA);
    }
    Raise(window);
  }
  HWND last = fronts.back();
  HWND target = GetLastActivePopup(last);
  if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) target = last;
  SetForegroundWindow(target);
  if (OwnThread(target)) SetActiveWindow(target);
}

bool Application::IsLastFront(HWND window) const {
  std::vector<HWND> fronts = Fronts();
  return !fronts.empty() && fronts.back() == window;
}

void Application::FrontRequested() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    frontRequested_ = false;
  }
  BringFrontForward();
}

void Application::RequestFront() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (frontRequested_ || !handle_) return;
  frontRequested_ = true;
  PostMessageW(handle_, kFrontMessage, 0, 0);
}

void Application::KeepAbove(HWND window) {
  const std::vector<HWND> fronts = Fronts();
  auto it = std::find(fronts.begin(), fronts.end(), window);
  if (it == fronts.end()) return;
  for (++it; it != fronts.end(); ++it) Raise(*it);
}

namespace {

// Finds the message box that MessageBoxW opens on this thread and holds it in front.
struct BoxWatch {
  HWND box = nullptr;
};
thread_local BoxWatch* boxWatch = nullptr;

LRESULT CALLBACK BoxHook(int code, WPARAM wparam, LPARAM lparam) {
  if (boxWatch && !boxWatch->box && (code == HCBT_ACTIVATE || code == HCBT_CREATEWND)) {
    HWND window = reinterpret_cast<HWND>(wparam);
    wchar_t cls[16] = L"";
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD) && GetClassNameW(window, cls, 16) &&
        lstrcmpW(cls, L"#32770") == 0) {
      boxWatch->box = window;
      App().HoldInFront(window);
    }
  }
  if (boxWatch && boxWatch->box && code == HCBT_ACTIVATE &&
      reinterpret_cast<HWND>(wparam) == boxWatch->box)
    App().RequestFront();  // the box on top, with the focus, whoever had it before
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

int Application::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                unsigned flags) {
  BoxWatch watch;
  BoxWatch* outer = boxWatch;
  boxWatch = &watch;
  HHOOK hook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
  int answer = ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
  if (hook) UnhookWindowsHookEx(hook);
  boxWatch = outer;
  if (watch.box) Instance().ReleaseFront(watch.box);
  return answer;
}

int Application::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  // Owned by the window in front, so that it stays above it; else by the active window.
  HWND owner = nullptr;
  const std::vector<HWND> fronts = Fronts();
  for (auto it = fronts.rbegin(); it != fronts.rend() && !owner; ++it)
    if (OwnThread(*it)) owner = *it;
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
  if (OnUiThread()) {
    PostQuitMessage(0);
  } else {
    PostThreadMessageW(uiThread_, WM_QUIT, 0, 0);
  }
}

void Application::Post(std::function<void()> fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(std::move(fn));
  if (!wakePosted_ && handle_) {
    wakePosted_ = true;
    PostMessageW(handle_, kQueueMessage, 0, 0);
  }
}

void Application::PostLater(std::function<void()> fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  later_.push_back(std::move(fn));
  // One posted message arms a timer; its WM_TIMER comes after input and paint.
  if (!laterArmed_ && handle_) {
    laterArmed_ = true;
    PostMessageW(handle_, kLaterMessage, 0, 0);
  }
}

void Application::DrainLater() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    laterArmed_ = false;
  }
  for (;;) {
    std::function<void()> fn;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (later_.empty()) return;
      fn = std::move(later_.front());
      later_.pop_front();
    }
    Guarded(fn);
  }
}

void Application::DrainQueue() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wakePosted_ = false;
  }
  for (;;) {
    std::function<void()> fn;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty()) return;
      fn = std::move(queue_.front());
      queue_.pop_front();
      // A closure may run a nested loop (a modal form): wake it for the rest.
      if (!queue_.empty() && !wakePosted_) {
        wakePosted_ = true;
        PostMessageW(handle_, kQueueMessage, 0, 0);
      }
    }
    Guarded(fn);
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
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return false;
  Dispatch(msg);
  return true;
}

bool Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
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

void PumpFor(int milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    if (!App().ProcessMessages()) return;
    DWORD now = GetTickCount();
    if ((LONG)(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

}  // namespace vemo::ui
