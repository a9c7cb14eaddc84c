// Keeping the windows in front: while a modal form or a message box is open, it and the
// windows opened after it are the application, and whatever reaches the rest brings them
// forward (application.h).
#include <algorithm>

#include "application.h"
#include "window_text.h"

namespace vemo::ui {
namespace {

constexpr UINT kFrontRetryMs = 50;  // how often a deferred activation looks at the mouse again

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

HWND Application::LastOwnFront() const {
  const std::vector<HWND> fronts = Fronts();
  for (auto it = fronts.rbegin(); it != fronts.rend(); ++it)
    if (OwnThread(*it)) return *it;
  return nullptr;
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
  std::function<void(HWND)> opened;
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
      if (boxWatch->opened) boxWatch->opened(window);
    }
  }
  if (boxWatch && boxWatch->box && code == HCBT_ACTIVATE &&
      reinterpret_cast<HWND>(wparam) == boxWatch->box)
    App().RequestFront();  // the box on top, with the focus, whoever had it before
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

int Application::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                unsigned flags, std::function<void(HWND)> opened) {
  BoxWatch watch{nullptr, std::move(opened)};
  BoxWatch* outer = boxWatch;
  boxWatch = &watch;
  HHOOK hook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
  int answer = ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
  if (hook) UnhookWindowsHookEx(hook);
  boxWatch = outer;
  if (watch.box) Instance().ReleaseFront(watch.box);
  return answer;
}

}  // namespace vemo::ui
