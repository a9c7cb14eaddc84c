// The engine's only way to the disk. A walk holds the folders it is in open and reaches
// everything below them by name, relative to an open folder: no path is parsed again from the
// root, so the cost of an entry does not depend on its depth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vemo {

// How a folder failed to open or to list; each class has its own error line.
enum class ListStatus {
  Ok,
  NotFound,     // no such file or folder: missing folder, bad path, empty root, invalid name
  InvalidName,  // invalid argument: invalid function, data or parameter
  OtherError,   // anything else: access denied, device not ready, no memory for the enumeration
};

// What a listing knows of an entry.
enum class EntryKind { File, Folder };

// Receives the entries of one folder in enumeration order, "." and ".." included.
class EntryReceiver {
 public:
  virtual ~EntryReceiver() = default;
  // size: a file's length in bytes, or kUnknownSize where the listing was not asked for sizes
  // and did not have them anyway; 0 for folders.
  virtual void Entry(std::string_view name, EntryKind kind, int64_t size) = 0;
};
constexpr int64_t kUnknownSize = -1;

// Physical identity of a folder (device and node, or volume and file id). An identity that
// the system could not give is unknown and equals nothing, itself included.
struct FolderId {
  uint64_t volume = 0;
  uint64_t low = 0, high = 0;
  bool known = false;
  bool operator==(const FolderId& o) const {
    return known && o.known && volume == o.volume && low == o.low && high == o.high;
  }
};

using FolderHandle = intptr_t;
constexpr FolderHandle kNoFolder = -1;
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

// A file opened for reading, and its length when the open learned it (kUnknownSize otherwise).
struct OpenedFile {
  FileHandle handle = kNoFile;
  int64_t size = kUnknownSize;
};

// What a read gave: the bytes, and whether it ended on a failure rather than at the end of the
// file (the bytes before the failure are kept).
struct ReadResult {
  size_t got = 0;
  bool failed = false;
};

// Called from the walk's thread and from the look-ahead's I/O threads at once. A run may leave
// a thread behind in a call that does not return (a drive that stopped answering); that thread
// closes what it opened once the call returns, so a file system lives as long as the process
// (or, in a test, until every call has returned and every handle is closed).
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Separator of joins, search patterns and the no-counterpart line: '\\' or '/'.
  virtual char Separator() const = 0;
  // True when a name can be appended to path directly: it ends in the separator (or in ':'
  // where drive letters exist).
  virtual bool EndsInSeparator(std::string_view path) const = 0;

  // What OpenFolder takes for a folder text as the user wrote it, at the top of a walk; empty
  // when the text can name no folder at all (an empty text, a device such as NUL).
  virtual std::string ResolveFolder(const std::string& text) = 0;

  // Opens a folder to list it and to open what it holds: a resolved folder text (parent
  // kNoFolder), or one name relative to an open folder.
  virtual ListStatus OpenFolder(FolderHandle parent, std::string_view name,
                                FolderHandle& folder) = 0;
  virtual void CloseFolder(FolderHandle folder) = 0;
  // Enumerates an open folder. A failure to start is classed; a failure while fetching a later
  // entry just ends the list. Without wantSizes a listing that would need a call per file to
  // learn its size gives kUnknownSize instead.
  virtual ListStatus List(FolderHandle folder, EntryReceiver& receiver, bool wantSizes) = 0;
  // Identifies an open folder at little cost: folders whose identities differ are different
  // folders; equal ones are told apart by ExactFolderId. Unknown when the system cannot say.
  virtual FolderId IdentifyFolder(FolderHandle folder) = 0;
  // Its whole identity (the volume and the file system's full id), where that costs more.
  virtual FolderId ExactFolderId(FolderHandle folder) { return IdentifyFolder(folder); }

  // Opens the file of that name in an open folder for reading, letting others read, write and
  // delete it meanwhile. Only a regular file on a disk opens: a pipe, a device or anything
  // else that could block or never end fails as a file that cannot be opened.
  virtual OpenedFile OpenFile(FolderHandle folder, std::string_view name) = 0;
  // Reads up to `size` bytes from `offset` on; fewer only at the end of the file or on a read
  // failure, which the result tells apart. Reads of one file never overlap, but they may come
  // from different threads.
  virtual ReadResult ReadAt(FileHandle file, int64_t offset, void* buffer, size_t size) = 0;
  virtual void Close(FileHandle file) = 0;
};

// opendir/readdir order, '/' as separator, ':' not special; names of any length at any depth.
std::unique_ptr<FileSystem> MakePosixFileSystem();
// The system's own folder enumeration on handles; only in the Windows build.
std::unique_ptr<FileSystem> MakeWin32FileSystem();
// The one that fits the build.
std::unique_ptr<FileSystem> MakeNativeFileSystem();

}  // namespace vemo
