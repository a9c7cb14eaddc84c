#include "side_thread.h"

#include <exception>
#include <system_error>
#include <thread>

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

}  // namespace

bool StartSideThread(std::function<void()> body) {
  try {
    std::thread([body = std::move(body)] {
      try {
        body();
      } catch (...) {
        ReportOnUiThread(std::current_exception());
      }
    }).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace vemo::ui
