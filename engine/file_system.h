// The engine's only way to the disk: list one folder, read files, identify a folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vemo {

// How a folder enumeration failed to start; each class has its own error line.
enum class ListStatus {
  Ok,
  NotFound,     // no such file or folder: missing folder, bad path, empty root, invalid name
  InvalidName,  // invalid argument: invalid function, data or parameter
  OtherError,   // anything else: access denied, device not ready, no memory for the enumeration
};

// Receives the entries of one folder in enumeration order, "." and ".." included.
class EntryReceiver {
 public:
  virtual ~EntryReceiver() = default;
  // size: the file's length in bytes (0 for folders).
  virtual void Entry(std::string_view name, bool isFolder, int64_t size) = 0;
};

// Physical identity of a folder (device and node, or volume and file index).
struct FolderId {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FolderId& o) const { return volume == o.volume && index == o.index; }
};

using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

// Paths: the engine resolves each folder text once, at the top of a walk (ResolveFolder), and
// appends the names that listings return to the result, joined by Separator() unless the path
// already ends in it. Every other call takes such a path, never the text the user wrote.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Separator of joins, search patterns and the no-counterpart line: '\\' or '/'.
  virtual char Separator() const = 0;
  // True when a name can be appended to path directly: it ends in the separator (or in ':'
  // where drive letters exist).
  virtual bool EndsInSeparator(std::string_view path) const = 0;

  // The path of a folder text as the user wrote it, from which names are joined below; empty
  // when the text can name no folder at all (an empty text, a device such as NUL).
  virtual std::string ResolveFolder(const std::string& text) = 0;

  // Enumerates a folder. A failure to start is classed; a failure while fetching a later entry
  // just ends the list.
  virtual ListStatus List(const std::string& folder, EntryReceiver& receiver) = 0;

  // Opens a file for reading, letting others read, write and delete it meanwhile.
  virtual FileHandle Open(const std::string& path) = 0;
  // Reads up to `size` bytes; fewer only at the end of the file or on a read failure.
  virtual size_t Read(FileHandle file, void* buffer, size_t size) = 0;
  virtual void Close(FileHandle file) = 0;

  // Identifies the folder at path; false when it cannot be asked (missing, no access).
  virtual bool IdentifyFolder(const std::string& path, FolderId& id) = 0;
};

// opendir/readdir order, '/' as separator, ':' not special; paths of any length.
std::unique_ptr<FileSystem> MakePosixFileSystem();
// FindFirstFileExW/CreateFileW on the literal paths of win32/path.h; only in the Windows build.
std::unique_ptr<FileSystem> MakeWin32FileSystem();
// The one that fits the build.
std::unique_ptr<FileSystem> MakeNativeFileSystem();

}  // namespace vemo
