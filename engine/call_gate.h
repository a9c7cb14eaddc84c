// The gate every call to the drive passes on a thread of the engine (the walk's, an I/O
// thread's). A thread whose work is given up is abandoned at its gate: a call it waits in is
// cancelled where the platform can, and the moment the call returns, or before the next one
// begins, the thread throws Abandoned and unwinds, reporting nothing.
//
// The walk's caller gives the walk up only while it waits in a call (AbandonInCall): the walk
// writes lines and figures only between calls, so once the caller has given it up nothing of
// the walk reaches the run again, and until then the caller lets it finish.
#pragma once

#include <atomic>
#include <string>

#include "engine/file_system.h"
#include "engine/threads.h"

namespace vemo {

// Unwinds a thread whose work was given up; never caught as a failure of the run.
struct Abandoned {};

class CallGate {
 public:
  CallGate() = default;
  ~CallGate() { ForgetThreadToken(thread_); }
  CallGate(const CallGate&) = delete;
  CallGate& operator=(const CallGate&) = delete;

  // On the thread it guards, before its first call.
  void Bind() {
    ForgetThreadToken(thread_);
    thread_ = CurrentThreadToken();
  }
  // Around each call that may wait on the drive; both throw Abandoned once the work is given up.
  void Enter();
  void Leave();
  // After a call that threw: false when the work was given up meanwhile.
  bool LeaveAfterThrow();

  // From another thread: gives the work up only if the thread waits in a call now.
  bool AbandonInCall();
  // Gives the work up whatever the thread does.
  void Abandon();
  bool IsAbandoned() const { return state_.load(std::memory_order_acquire) == kAbandoned; }
  // An I/O thread begins other work.
  void Reset() { state_.store(kWorking, std::memory_order_release); }

 private:
  enum { kWorking, kInCall, kAbandoned };
  std::atomic<int> state_{kWorking};
  ThreadToken thread_ = 0;
};

// A file system whose calls pass a gate; closing passes none (it is how a given-up thread
// leaves nothing open).
class GatedFileSystem : public FileSystem {
 public:
  GatedFileSystem(FileSystem& inner, CallGate& gate) : inner_(inner), gate_(gate) {}
  FileSystem& Inner() { return inner_; }

  char Separator() const override { return inner_.Separator(); }
  bool EndsInSeparator(std::string_view path) const override {
    return inner_.EndsInSeparator(path);
  }
  std::string ResolveFolder(const std::string& text) override;
  ListStatus OpenFolder(FolderHandle parent, std::string_view name, FolderHandle& folder) override;
  void CloseFolder(FolderHandle folder) override { inner_.CloseFolder(folder); }
  ListStatus List(FolderHandle folder, EntryReceiver& receiver, bool wantSizes) override;
  FolderId IdentifyFolder(FolderHandle folder) override;
  FolderId ExactFolderId(FolderHandle folder) override;
  OpenedFile OpenFile(FolderHandle folder, std::string_view name) override;
  ReadResult ReadAt(FileHandle file, int64_t offset, void* buffer, size_t size) override;
  void Close(FileHandle file) override { inner_.Close(file); }

 private:
  template <typename Call>
  auto Pass(Call call) -> decltype(call());

  FileSystem& inner_;
  CallGate& gate_;
};

}  // namespace vemo
