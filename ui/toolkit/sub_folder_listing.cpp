#include "sub_folder_listing.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "application.h"
#include "drives.h"
#include "side_thread.h"

namespace vemo::ui {
namespace {

std::mutex sourceMutex;
SubFolderSource source;

SubFolderSource Source() {
  std::lock_guard<std::mutex> lock(sourceMutex);
  if (source) return source;
  return [](const std::string& folder, const std::atomic<bool>& stop) {
    return drives::SubFolders(folder, &stop);
  };
}

}  // namespace

void SetSubFolderSource(SubFolderSource replacement) {
  std::lock_guard<std::mutex> lock(sourceMutex);
  source = std::move(replacement);
}

struct SubFolderListing::State {
  std::mutex mutex;
  std::condition_variable listed;
  bool done = false;
  std::vector<std::string> names;
  std::function<void()> then;
  std::atomic<bool> abandoned{false};

  // Hands `then` to the user-interface thread; it runs there unless abandoned by then (which
  // happens on that thread too).
  static void PostThen(const std::shared_ptr<State>& state, std::function<void()> then) {
    App().Post([state, then = std::move(then)] {
      if (!state->abandoned) then();
    });
  }
};

SubFolderListing::SubFolderListing(const std::string& folder) : state_(std::make_shared<State>()) {
  // Abandoned, a listing stops at its next entry, or once the system answers. A listing that
  // fails is done all the same, with no names, and its failure is reported.
  auto work = [state = state_, folder, list = Source()] {
    std::vector<std::string> names;
    std::exception_ptr failure;
    try {
      names = list(folder, state->abandoned);
    } catch (...) {
      failure = std::current_exception();
    }
    std::function<void()> then;
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      state->names = std::move(names);
      state->done = true;
      then = std::move(state->then);
    }
    state->listed.notify_all();
    if (then) State::PostThen(state, std::move(then));
    if (failure) std::rethrow_exception(failure);
  };
  if (!StartSideThread(work)) work();  // no thread to be had: listed here, at once
}

SubFolderListing::~SubFolderListing() { state_->abandoned = true; }

bool SubFolderListing::Wait(int ms) {
  std::unique_lock<std::mutex> lock(state_->mutex);
  return state_->listed.wait_for(lock, std::chrono::milliseconds(ms),
                                 [this] { return state_->done; });
}

void SubFolderListing::WhenDone(std::function<void()> done) {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->done) {
      state_->then = std::move(done);
      return;
    }
  }
  State::PostThen(state_, std::move(done));
}

std::vector<std::string> SubFolderListing::TakeNames() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return std::move(state_->names);
}

}  // namespace vemo::ui
