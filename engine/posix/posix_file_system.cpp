// Folder listing and file reading over POSIX: readdir order, '/' joins, ':' is an ordinary byte.
// Paths of any length: past PATH_MAX they are opened folder by folder, relative to an open
// folder handle.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/file_system.h"

namespace vemo {
namespace {

#ifdef O_PATH
constexpr int kWayThrough = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read permission
#else
constexpr int kWayThrough = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// open() for a path of any length: the leading folders are opened in pieces shorter than
// PATH_MAX, each relative to the one before, and the rest is opened relative to the last.
int OpenAnyLength(const std::string& path, int flags) {
  if (path.size() < PATH_MAX) return ::open(path.c_str(), flags);
  int at = AT_FDCWD;
  size_t start = 0;
  while (path.size() - start >= PATH_MAX) {
    size_t cut = path.rfind('/', start + PATH_MAX - 2);
    if (cut == std::string::npos || cut < start) {  // one name longer than the system allows
      if (at != AT_FDCWD) ::close(at);
      errno = ENAMETOOLONG;
      return -1;
    }
    const std::string piece = path.substr(start, cut - start + 1);
    const int next = ::openat(at, piece.c_str(), kWayThrough);
    const int error = errno;
    if (at != AT_FDCWD) ::close(at);
    if (next < 0) {
      errno = error;
      return -1;
    }
    at = next;
    start = cut + 1;
    while (start < path.size() && path[start] == '/') ++start;
  }
  const int fd = ::openat(at, start < path.size() ? path.c_str() + start : ".", flags);
  const int error = errno;
  ::close(at);
  errno = error;
  return fd;
}

ListStatus ClassifyListError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return ListStatus::NotFound;
    case EINVAL: return ListStatus::InvalidName;
    default: return ListStatus::OtherError;
  }
}

class PosixFileSystem : public FileSystem {
 public:
  char Separator() const override { return '/'; }
  bool EndsInSeparator(std::string_view path) const override {
    return !path.empty() && path.back() == '/';
  }

  // The process's current folder does not change during a run, so a relative text keeps its
  // meaning: the text itself is the path.
  std::string ResolveFolder(const std::string& text) override { return text; }

  ListStatus List(const std::string& folder, EntryReceiver& receiver) override {
    const int folderFd =
        OpenAnyLength(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return ClassifyListError(errno);
    DIR* dir = fdopendir(folderFd);
    if (!dir) {
      const int error = errno;
      ::close(folderFd);
      return ClassifyListError(error);
    }
    errno = 0;
    while (struct dirent* d = readdir(dir)) {
      const char* name = d->d_name;
      if (name[0] == '.') {  // never listed; spare the stat
        receiver.Entry(name, false, 0);
        continue;
      }
      bool isFolder = d->d_type == DT_DIR;
      int64_t size = 0;
      if (!isFolder) {
        struct stat st;
        if (fstatat(folderFd, name, &st, 0) == 0) {
          isFolder = S_ISDIR(st.st_mode);
          if (!isFolder) size = static_cast<int64_t>(st.st_size);
        }
        // A dangling link or an entry that vanished: a file that will not open.
      }
      receiver.Entry(name, isFolder, size);
    }
    closedir(dir);
    return ListStatus::Ok;
  }

  FileHandle Open(const std::string& path) override {
    int fd = OpenAnyLength(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return kNoFile;
    struct stat st;
    // Only regular files: a pipe or a device could block or never end.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return kNoFile;
    }
    if (st.st_size > (1 << 20)) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
  }

  size_t Read(FileHandle file, void* buffer, size_t size) override {
    size_t done = 0;
    while (done < size) {
      ssize_t n = ::read(static_cast<int>(file), static_cast<char*>(buffer) + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  void Close(FileHandle file) override { ::close(static_cast<int>(file)); }

  bool IdentifyFolder(const std::string& path, FolderId& id) override {
    const int fd = OpenAnyLength(path, kWayThrough);
    if (fd < 0) return false;
    struct stat st;
    const bool ok = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    ::close(fd);
    if (!ok) return false;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
    return true;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakePosixFileSystem() { return std::make_unique<PosixFileSystem>(); }

#ifndef _WIN32
std::unique_ptr<FileSystem> MakeWin32FileSystem() { return nullptr; }
std::unique_ptr<FileSystem> MakeNativeFileSystem() { return MakePosixFileSystem(); }
#endif

}  // namespace vemo
