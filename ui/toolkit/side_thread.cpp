// Started with CreateThread and its handle closed at once: a detached std::thread can fault as
// it starts under the C++ runtime's thread layer of this toolchain when it is detached before it
// runs (seen under load: a null read in the thread's start routine).
#include "side_thread.h"

#include <windows.h>

#include <exception>
#include <memory>

#include "application.h"

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

DWORD WINAPI RunBody(void* context) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(context));
  try {
    (*body)();
  } catch (...) {
    ReportOnUiThread(std::current_exception());
  }
  return 0;
}

}  // namespace

bool StartSideThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  HANDLE thread = CreateThread(nullptr, 0, RunBody, owned.get(), 0, nullptr);
  if (!thread) return false;  // the caller may do the work itself
  owned.release();            // the thread's now
  CloseHandle(thread);
  return true;
}

}  // namespace vemo::ui
