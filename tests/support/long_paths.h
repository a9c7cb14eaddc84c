// Folder chains of any depth and path length on POSIX, made relative to open folder handles
// (paths past PATH_MAX cannot be made by name). TempTree removes them again.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace vemo::test {

// Makes `levels` nested folders called `name` below `base` (which must exist); returns an open
// handle of the deepest one, or -1.
inline int MakeChain(const std::string& base, const std::string& name, int levels) {
  int at = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int i = 0; i < levels && at >= 0; ++i) {
    ::mkdirat(at, name.c_str(), 0755);
    const int next = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(at);
    at = next;
  }
  return at;
}

// Writes a file in an open folder.
inline bool WriteFileAt(int folder, const std::string& name, const std::string& content) {
  const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, content.data(), content.size()) == ssize_t(content.size());
  ::close(fd);
  return ok;
}

// Removes a folder however deep it goes: rm walks it by handles, where a walk by paths costs the
// square of the depth.
inline void RemoveDeepFolder(const std::string& path) {
  if (std::system(("rm -rf -- '" + path + "'").c_str()) != 0) return;
}

}  // namespace vemo::test
