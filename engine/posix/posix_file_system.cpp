// Folder listing and file reading over POSIX: readdir order, '/' joins, ':' is an ordinary byte.
// Folders are held as descriptors and everything below them is reached with openat, so neither
// depth nor PATH_MAX matters below the folder the user named.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/vfs.h>
#endif

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "engine/file_system.h"
#include "engine/posix/unique_fd.h"

namespace vemo {
namespace {

#ifdef O_PATH
constexpr int kWayThrough = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read permission
#else
constexpr int kWayThrough = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// open() for a path of any length: the leading folders are opened in pieces shorter than
// PATH_MAX, each relative to the one before, and the rest is opened relative to the last.
int OpenAnyLength(const std::string& path, int flags) {
  if (path.size() < PATH_MAX) return ::open(path.c_str(), flags);
  UniqueFd at(AT_FDCWD);  // negative: never closed
  size_t start = 0;
  while (path.size() - start >= PATH_MAX) {
    size_t cut = path.rfind('/', start + PATH_MAX - 2);
    if (cut == std::string::npos || cut < start) {  // one name longer than the system allows
      errno = ENAMETOOLONG;
      return -1;
    }
    const std::string piece = path.substr(start, cut - start + 1);
    const int next = ::openat(at.Get(), piece.c_str(), kWayThrough);
    if (next < 0) return -1;
    at.Reset(next);
    start = cut + 1;
    while (start < path.size() && path[start] == '/') ++start;
  }
  return ::openat(at.Get(), start < path.size() ? path.c_str() + start : ".", flags);
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

// File systems whose files are the kernel's live state, not data on a disk: reading one can
// block, never end, or take something away (the kernel log).
bool KernelFileSystem(int fd) {
#ifdef __linux__
  struct statfs fs;
  if (fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x9fa0:      // proc
    case 0x62656572:  // sysfs
    case 0x64626720:  // debugfs
    case 0x74726163:  // tracefs
    case 0x73636673:  // securityfs
    case 0x27e0eb:    // cgroup
    case 0x63677270:  // cgroup2
    case 0xcafe4a11:  // bpf
    case 0x1cd1:      // devpts
    case 0x6165676c:  // pstore
    case 0xde5e81e4:  // efivarfs
    case 0x62656570:  // configfs
    case 0x65735543:  // fusectl
      return true;
  }
#else
  (void)fd;
#endif
  return false;
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

  ListStatus OpenFolder(FolderHandle parent, std::string_view name, FolderHandle& folder) override {
    folder = kNoFolder;
    UniqueFd fd(parent == kNoFolder
                    ? OpenAnyLength(std::string(name), kFolderFlags)
                    : ::openat(static_cast<int>(parent), std::string(name).c_str(), kFolderFlags));
    if (fd.Get() < 0) return ClassifyListError(errno);
    struct stat st;
    if (fstat(fd.Get(), &st) != 0) return ClassifyListError(errno);
    Known known{st.st_dev, st.st_ino, false};
    std::lock_guard<std::mutex> lock(mutex_);
    // What lies behind a folder changes only where the device does.
    auto above = folders_.find(static_cast<int>(parent));
    known.kernel =
        parent != kNoFolder && above != folders_.end() && above->second.device == st.st_dev
            ? above->second.kernel
            : KernelFileSystem(fd.Get());
    folders_[fd.Get()] = known;
    folder = fd.Release();
    return ListStatus::Ok;
  }

  void CloseFolder(FolderHandle folder) override {
    if (folder == kNoFolder) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      folders_.erase(static_cast<int>(folder));
    }
    ::close(static_cast<int>(folder));
  }

  ListStatus List(FolderHandle folder, EntryReceiver& receiver, bool wantSizes) override {
    const int folderFd = static_cast<int>(folder);
    // The names first; then what each needs asked of the system (the size of a file, what a
    // link leads to), which a big folder shares out among threads; then the entries in order.
    std::vector<Found> found;
    std::string names;
    const int error = ReadNames(folderFd, found, names);
    if (error != 0) return ClassifyListError(error);
    Ask(folderFd, names, found, wantSizes);
    for (const Found& entry : found)
      receiver.Entry(names.c_str() + entry.name, entry.kind, entry.size);
    return ListStatus::Ok;
  }

  FolderId IdentifyFolder(FolderHandle folder) override {
    FolderId id;
    std::lock_guard<std::mutex> lock(mutex_);
    auto known = folders_.find(static_cast<int>(folder));
    if (known == folders_.end()) return id;
    id.volume = static_cast<uint64_t>(known->second.device);
    id.low = static_cast<uint64_t>(known->second.node);
    id.known = true;
    return id;
  }

  OpenedFile OpenFile(FolderHandle folder, std::string_view name) override {
    OpenedFile opened;
    // Without blocking: a pipe without a writer would hold the open forever.
    UniqueFd fd(::openat(static_cast<int>(folder), std::string(name).c_str(),
                         O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0) return opened;
    struct stat st;
    // Only regular files: a pipe or a device could block or never end.
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return opened;
    bool kernel;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto known = folders_.find(static_cast<int>(folder));
      kernel = known == folders_.end() || known->second.kernel;
      // A file on another device than its folder came through a link: ask where it lies.
      if (!kernel && st.st_dev != known->second.device) kernel = KernelFileSystem(fd.Get());
    }
    if (kernel) return opened;
    if (st.st_size > (1 << 20)) posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    opened.size = static_cast<int64_t>(st.st_size);
    opened.handle = fd.Release();
    return opened;
  }

  ReadResult ReadAt(FileHandle file, int64_t offset, void* buffer, size_t size) override {
    ReadResult read;
    while (read.got < size) {
      ssize_t n =
          ::pread(static_cast<int>(file), static_cast<char*>(buffer) + read.got, size - read.got,
                  static_cast<off_t>(offset + static_cast<int64_t>(read.got)));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) read.failed = true;
      if (n <= 0) break;
      read.got += static_cast<size_t>(n);
    }
    return read;
  }

  void Close(FileHandle file) override { ::close(static_cast<int>(file)); }

 private:
  // An entry of a listing: where its name starts, its type as the listing gave it, and what it
  // turned out to be.
  struct Found {
    size_t name;
    unsigned char type;
    EntryKind kind;
    int64_t size;
  };

#ifdef __linux__
  // The names and types of a folder's entries, read in large batches straight from its held
  // descriptor (from its first entry): no second descriptor, no stream. 0, or the error of the
  // first batch; an error on a later batch ends the list with what it has.
  static int ReadNames(int folderFd, std::vector<Found>& found, std::string& names) {
    if (lseek(folderFd, 0, SEEK_SET) < 0) return errno;
    constexpr size_t kBatch = 64 * 1024;
    const std::unique_ptr<char[]> batch(new char[kBatch]);  // not on the walk's small stack
    for (bool first = true;; first = false) {
      ssize_t got;
      do {
        got = getdents64(folderFd, batch.get(), kBatch);
      } while (got < 0 && errno == EINTR);
      if (got < 0) return first ? errno : 0;
      if (got == 0) return 0;
      for (ssize_t at = 0; at < got;) {
        const auto* d = reinterpret_cast<const struct dirent64*>(batch.get() + at);
        found.push_back(Found{names.size(), d->d_type, EntryKind::File, 0});
        names.append(d->d_name).push_back('\0');
        at += d->d_reclen;
      }
    }
  }
#else
  // The names and types of a folder's entries through a stream over a copy of its descriptor.
  static int ReadNames(int folderFd, std::vector<Found>& found, std::string& names) {
    UniqueFd copy(fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    if (copy.Get() < 0) return errno;
    UniqueDir dir(fdopendir(copy.Get()));
    if (!dir.Get()) return errno;
    copy.Release();
    rewinddir(dir.Get());
    while (struct dirent* d = readdir(dir.Get())) {
      found.push_back(Found{names.size(), d->d_type, EntryKind::File, 0});
      names.append(d->d_name).push_back('\0');
    }
    return 0;
  }
#endif

  // What the listing's types leave open, for entries [begin, end).
  static void AskRange(int folderFd, const std::string& names, std::vector<Found>& found,
                       size_t begin, size_t end, bool wantSizes) {
    for (size_t i = begin; i < end; ++i) {
      Found& entry = found[i];
      const char* name = names.c_str() + entry.name;
      if (name[0] == '.') continue;  // never listed; spare the stat
      struct stat st;
      switch (entry.type) {
        case DT_DIR: entry.kind = EntryKind::Folder; break;
        case DT_REG:
          if (!wantSizes)
            entry.size = kUnknownSize;
          else if (fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            entry.size = static_cast<int64_t>(st.st_size);  // else gone: a file that won't open
          break;
        case DT_LNK:
        case DT_UNKNOWN:
          // What the name leads to decides: a link to a folder is a folder. A dangling link
          // or an entry that vanished is a file that will not open.
          if (fstatat(folderFd, name, &st, 0) == 0) {
            if (S_ISDIR(st.st_mode))
              entry.kind = EntryKind::Folder;
            else if (S_ISREG(st.st_mode))
              entry.size = static_cast<int64_t>(st.st_size);
          }
          break;
        default: break;  // a pipe, a device: a file that will not open
      }
    }
  }

  // A folder of many files takes a second thread for half of its questions.
  static void Ask(int folderFd, const std::string& names, std::vector<Found>& found,
                  bool wantSizes) {
    constexpr size_t kShareFrom = 4096;
    const size_t half = found.size() / 2;
    if (!wantSizes || found.size() < kShareFrom) {
      AskRange(folderFd, names, found, 0, found.size(), wantSizes);
      return;
    }
    std::thread second;
    try {
      second = std::thread([&] { AskRange(folderFd, names, found, half, found.size(), true); });
    } catch (const std::system_error&) {
      AskRange(folderFd, names, found, half, found.size(), true);  // no thread to be had
    }
    AskRange(folderFd, names, found, 0, half, true);
    if (second.joinable()) second.join();
  }

  // What is known of each open folder: its identity and whether the kernel's live state is
  // behind it. Folders of both sides are open at once, hence the lock.
  struct Known {
    dev_t device;
    ino_t node;
    bool kernel;
  };
  std::mutex mutex_;
  std::unordered_map<int, Known> folders_;
};

}  // namespace

std::unique_ptr<FileSystem> MakePosixFileSystem() { return std::make_unique<PosixFileSystem>(); }

#ifndef _WIN32
std::unique_ptr<FileSystem> MakeWin32FileSystem() { return nullptr; }
std::unique_ptr<FileSystem> MakeNativeFileSystem() { return MakePosixFileSystem(); }
#endif

}  // namespace vemo
