// The application object: title (the taskbar text), message loop, message boxes, the general
// error report, the quit request and the ordered queue into the user-interface thread.
//
// How the toolkit is used (ui/toolkit/, namespace vemo::ui):
// - App() is the one Application. App().Initialize() once (start-up does it), then
//   App().SetTitle("Vemo"), create forms, App().Run(mainForm).
// - Forms derive from Form (form.h); controls are members: Button, CheckBox, Edit, Memo,
//   Label, GroupBox, Panel, ProgressBar, Image, Timer, MainMenu/MenuItem, DriveBox,
//   FolderList (one header each). Each is created with Create(parent, Layout{...}).
// - Handlers are std::function members; bind by assignment, e.g.
//     form.OkButton.OnClick = [] { ... };             form.OnCloseQuery = [](bool& ok) {...};
//     form.Picture.OnMouseDown = [](vemo::ui::MouseButton, int x, int y) { ... };
//     form.Clock.OnTimer = [] { ... };                form.MenuItem.OnClick = [] {...};
//   An exception escaping a handler is caught by the dispatcher and shown as the general
//   error report (stop icon, caption = current title, message + "."); SilentAbort shows nothing.
// - App().Post(closure) is the one way from another thread into the user-interface thread:
//   closures run in the order posted, also while a modal form's nested loop runs.
//   App().PostLater(closure) is for a stream of work (a run's lines): it waits until the
//   input, paint and timer messages that wait have been handled, so the stream never starves
//   them. Everything else of the toolkit belongs to the user-interface thread; the setters
//   that other threads once reached for (Timer, SetTitle) refuse any other thread
//   (RequireUiThread). The queue is application_queue.cpp.
// - Form::ShowModal() returns the modal result: 6 Yes, 7 No, 2 Cancel (also when a WM_QUIT ends
//   the nested loop; the quit is posted again, and App().Quitting() tells it apart from a
//   Cancel of the user). Button::SetModalResult makes a button close
//   its modal form with that result. Form::Close() hides (main form: ends the loop). A modal
//   form opens with the focus on its first control in tab order and ends only through its
//   modal result or a WM_QUIT.
//   The main form's Minimize()/Restore() minimise and restore the whole application (its taskbar
//   button with its forms). Keys: Tab order, Enter on the default button, Esc does nothing
//   (Form::HandleDialogKey; a control keeps Enter by answering WM_GETDLGCODE).
// - In front: while a modal form (or a message box) is open, it and the windows opened after
//   it (App().HoldInFront, also from other threads: a run's final box) are the application.
//   Every other window is disabled, and whatever reaches the rest (activation, restore,
//   minimise, maximise and close requests, from the taskbar, Alt+Tab or anywhere) brings
//   them forward instead, the last one opened on top with the focus (front_windows.cpp).
// - App().MessageBox(text, caption, flags) uses the platform's flags (48, 64, 36, ...) and
//   returns its answer (6 = Yes). App().Terminate() posts the quit request.
#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vemo::ui {

class Form;

constexpr UINT kQueueMessage = WM_APP + 1;
constexpr UINT kLaterMessage = WM_APP + 2;  // arms the timer of PostLater
constexpr UINT kFrontMessage = WM_APP + 3;  // RequestFront
constexpr UINT kLaterMs = 15;
// Timers of the application window, far above the ids of ui::Timer.
constexpr UINT_PTR kLaterTimer = 0x7F00;  // PostLater's wake
constexpr UINT_PTR kFrontTimer = 0x7F01;  // BringFrontForward again, once the mouse is up
// Runs what waits in a line of closures whose wake could not be posted (a full message queue).
constexpr UINT_PTR kStrandedTimer = 0x7F02;
constexpr UINT kStrandedMs = 250;

// An error that ends a handler without any report.
struct SilentAbort : std::exception {
  const char* what() const noexcept override { return "Operation aborted"; }
};

class Application {
 public:
  static Application& Instance();

  // Turns off the system's critical-error boxes, makes the process DPI aware (where the
  // manifest has not), registers the window classes, creates the hidden application window.
  // Idempotent; the calling thread becomes the user-interface thread.
  void Initialize();
  HINSTANCE Module() const { return module_; }
  HWND Handle() const { return handle_; }

  std::string Title() const;
  void SetTitle(const std::string& title);
  // Throws std::logic_error naming `what` when called off the user-interface thread: the
  // windows are reached from other threads through Post alone.
  void RequireUiThread(const char* what) const;

  // Modal to all the program's windows, held in front while open; the platform's flags and
  // answers.
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
  // The general error report: stop icon, the current title as caption, message + ".".
  void ShowErrorReport(const std::string& message);
  // Reports the exception being handled (call inside a catch block).
  void ReportCurrentException();

  void Terminate();  // the quit request (posts WM_QUIT to the user-interface thread)
  // The desktop session is ending (log off, shut down, restart: WM_ENDSESSION, ending). The
  // system may end the process as soon as this returns, so what must be kept is stored here.
  // The question before it (WM_QUERYENDSESSION) is always answered yes: nothing is lost.
  std::function<void()> OnEndSession;
  // True once the quit request has been made or a message loop has met it: a modal display
  // that ended as cancelled was ended by the application's end, not by the user.
  bool Quitting() const { return quitting_; }

  // Runs fn on the user-interface thread, after everything posted before it. Any thread.
  void Post(std::function<void()> fn);
  // Runs fn on the user-interface thread after the input, paint and timer messages that are
  // waiting, in the order of PostLater calls (within about kLaterMs). Any thread.
  void PostLater(std::function<void()> fn);
  bool OnUiThread() const { return GetCurrentThreadId() == uiThread_; }
  // How the wakes of Post and PostLater are posted: PostMessageW, or (a test) one that fails as
  // it does when the thread's message queue is full. Whatever a failed wake leaves waiting runs
  // within kStrandedMs.
  using WakePoster = BOOL (*)(HWND, UINT, WPARAM, LPARAM);
  void SetWakePoster(WakePoster post) { wakePoster_ = post ? post : PostMessageW; }

  // Shows the main form and runs the message loop until the main form has closed.
  void Run(Form& mainForm);
  Form* MainForm() const { return mainForm_; }
  void SetMainForm(Form* form) { mainForm_ = form; }

  // Dispatches the messages that are waiting (also the posted closures); returns false when a
  // WM_QUIT was met (it is posted again, so the outer loop sees it too).
  bool ProcessMessages();
  // Fetches and dispatches one message; false on WM_QUIT (left for the caller).
  bool HandleMessage(MSG& msg);
  void Dispatch(MSG& msg);

  // The whole application minimised to its taskbar button, and back. While a window is held
  // in front, neither happens: that window comes forward instead.
  void Minimize();
  void Restore();
  bool Minimized() const;

  // Disables the application window and every form (shown or hidden) that is enabled, except
  // one; returns them.
  std::vector<HWND> DisableWindows(HWND except);
  static void EnableWindows(const std::vector<HWND>& windows);

  // The windows held in front of the rest, in the order they opened (any thread).
  void HoldInFront(HWND window);
  void ReleaseFront(HWND window);
  bool HasFront() const;
  bool InFront(HWND window) const;
  bool IsLastFront(HWND window) const;
  // Raises the held windows in their order and activates the last (or the popup it last
  // activated); a hidden one is shown again. While a mouse button is down (a click on a window
  // behind them) only the raising happens, the activation once it is up. User-interface thread.
  void BringFrontForward();
  // The same, later, from any thread (at most one request waits).
  void RequestFront();
  // Keeps the windows held after `window` above it, without activating them: one that the
  // user activated (the progress window clicked) never hides a later one (its final box).
  void KeepAbove(HWND window);

  // The application's own message box: held in front while it is open; any thread. `opened`,
  // when given, is told the box's window as it opens (on the calling thread).
  static int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                            unsigned flags, std::function<void(HWND)> opened = {});

 private:
  friend LRESULT AppAnswer(HWND, UINT, WPARAM, LPARAM);
  // A line of closures into the user-interface thread, woken by one posted message.
  struct Lane {
    std::deque<std::function<void()>> closures;
    bool armed = false;  // its wake is on its way
    UINT wake;           // the message that wakes it
  };
  void Enqueue(Lane& lane, std::function<void()> fn);
  void Drain(Lane& lane);
  void Wake(Lane& lane);  // posts its wake (mutex_ held); armed only once it is on its way
  void DrainStranded();   // the lines whose wake failed
  void FrontRequested();  // RequestFront's message has arrived
  std::vector<HWND> Fronts() const;  // the held windows that still exist, in order
  HWND LastOwnFront() const;         // the last of them that this thread owns

  HINSTANCE module_ = nullptr;
  HWND handle_ = nullptr;
  DWORD uiThread_ = 0;
  Form* mainForm_ = nullptr;
  mutable std::mutex mutex_;
  std::string title_;
  std::atomic<bool> quitting_{false};
  Lane queue_{{}, false, kQueueMessage};
  Lane later_{{}, false, kLaterMessage};  // its wake arms a timer, which comes after input
  std::atomic<WakePoster> wakePoster_{PostMessageW};
  std::vector<HWND> fronts_;
  bool frontRequested_ = false;
  std::vector<HWND> minimizedForms_;  // hidden by Minimize, shown again by Restore
};

inline Application& App() { return Application::Instance(); }

// Runs fn; an exception escaping it becomes the general error report.
template <class F>
void Guarded(F&& fn) {
  try {
    fn();
  } catch (...) {
    App().ReportCurrentException();
  }
}

// A window procedure's body: an exception escaping it becomes the general error report (it
// never reaches the system, which would end the program or swallow it), and the message is
// answered 0.
template <class F>
LRESULT GuardedAnswer(F&& fn) {
  try {
    return fn();
  } catch (...) {
    App().ReportCurrentException();
    return 0;
  }
}

// Calls a handler if one is bound, guarded.
template <class Fn, class... Args>
void Fire(const Fn& handler, Args&&... args) {
  if (handler) Guarded([&] { handler(std::forward<Args>(args)...); });
}

// The system commands that minimise, maximise, restore or close a window.
inline bool IsStateCommand(WPARAM command) {
  return command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE ||
         command == SC_CLOSE;
}

}  // namespace vemo::ui
