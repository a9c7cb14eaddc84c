#include "application.h"

#include <commctrl.h>

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

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Application& app = Application::Instance();
  switch (msg) {
    case kQueueMessage: app.DrainQueue(); return 0;
    case WM_TIMER: Timer::Dispatch(wparam); return 0;
    case WM_SYSCOMMAND:
      // The taskbar button restores the whole application.
      if ((wparam & 0xFFF0) == SC_RESTORE) {
        app.Restore();
        return 0;
      }
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        if (app.MainForm()) app.MainForm()->Close();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Hand the activation to the main form when the taskbar button is activated.
      if (LOWORD(wparam) != WA_INACTIVE && !IsIconic(hwnd) && app.MainForm() &&
          app.MainForm()->Visible() && IsWindowEnabled(app.MainForm()->Handle())) {
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
    HWND except;
    std::vector<HWND> list;
  } ctx{except, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        if (hwnd != c->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
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
  HWND owner = GetActiveWindow();
  if (!owner) owner = handle_;
  auto disabled = DisableWindows(nullptr);
  int answer = ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
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
