// Folder listing and file reading over POSIX: readdir order, '/' joins, ':' is an ordinary byte.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/file_system.h"

namespace vemo {
namespace {

class PosixFileSystem : public FileSystem {
 public:
  char Separator() const override { return '/'; }
  bool EndsInSeparator(std::string_view path) const override {
    return !path.empty() && path.back() == '/';
  }

  ListStatus List(const std::string& pattern, EntryReceiver& receiver) override {
    // The pattern is "<folder>/*.*"; "*.*" matches every name, so list the folder itself.
    std::string folder = pattern;
    if (folder.size() >= 3 && folder.compare(folder.size() - 3, 3, "*.*") == 0)
      folder.resize(folder.size() - 3);
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
      switch (errno) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return ListStatus::NotFound;
        case EINVAL: return ListStatus::InvalidName;
        default: return ListStatus::OtherError;
      }
    }
    const int fd = dirfd(dir);
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
        if (fstatat(fd, name, &st, 0) == 0) {
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
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
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
