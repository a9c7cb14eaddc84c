// POSIX descriptors closed when they go out of scope, whichever way the scope ends.
#pragma once

#include <dirent.h>
#include <unistd.h>

namespace vemo {

// A file or folder descriptor: close. A negative one (AT_FDCWD included) is never closed.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

// A listing stream (over a descriptor it owns): closedir.
class UniqueDir {
 public:
  explicit UniqueDir(DIR* dir) : dir_(dir) {}
  ~UniqueDir() {
    if (dir_) closedir(dir_);
  }
  UniqueDir(const UniqueDir&) = delete;
  UniqueDir& operator=(const UniqueDir&) = delete;

  DIR* Get() const { return dir_; }

 private:
  DIR* dir_;
};

}  // namespace vemo
