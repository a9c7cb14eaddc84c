// Win32 handles closed when they go out of scope, whichever way the scope ends: one class per
// kind of handle, for the engine and the windows alike.
#pragma once

#include <windows.h>

namespace vemo {

// A kernel object's handle (file, folder, thread, event): CloseHandle. Neither null nor
// INVALID_HANDLE_VALUE (what CreateFileW gives for none) is closed.
class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  // Where a call that opens writes the handle; call it on an empty one.
  HANDLE* Put() { return &handle_; }
  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  void Reset(HANDLE handle = nullptr) {
    if (Valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

// A search of FindFirstFileW: FindClose.
class UniqueFind {
 public:
  explicit UniqueFind(HANDLE find) : find_(find) {}
  ~UniqueFind() {
    if (Valid()) FindClose(find_);
  }
  UniqueFind(const UniqueFind&) = delete;
  UniqueFind& operator=(const UniqueFind&) = delete;

  HANDLE Get() const { return find_; }
  bool Valid() const { return find_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE find_;
};

}  // namespace vemo
