#include "side_thread.h"

#include <windows.h>

#include <exception>
#include <memory>

#include "application.h"
#include "win32/thread_start.h"

namespace vemo::ui {
namespace {

void ReportOnUiThread(std::exception_ptr failure) {
  try {
    App().Post([failure] {
      try {
        std::rethrow_exception(failure);
      } catch (...) {
        App().ReportCurrentException();
      }
    });
  } catch (...) {
    // Not even the report's closure could be had: the work is lost, the program goes on.
  }
}

void RunBody(void* context) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(context));
  try {
    (*body)();
  } catch (...) {
    ReportOnUiThread(std::current_exception());
  }
}

}  // namespace

bool StartSideThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  if (!StartDetachedWin32Thread(0, RunBody, owned.get()))
    return false;   // the caller may do the work itself
  owned.release();  // the thread's now
  return true;
}

}  // namespace vemo::ui
