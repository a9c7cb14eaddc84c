// Folder listing and file reading over the system's own file calls: each folder of a walk is an
// open handle, its entries come in large batches with their sizes and attributes
// (NtQueryDirectoryFile), and what it holds is opened by name relative to it (NtOpenFile with a
// root directory), so no path is parsed again from the drive down. '\' joins, "X:" drives;
// the folder the user named is opened by its literal path (win32/path.h).
#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/file_system.h"
#include "win32/path.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE apc,
                                               PVOID apcContext, PIO_STATUS_BLOCK status,
                                               PVOID buffer, ULONG length,
                                               FILE_INFORMATION_CLASS infoClass,
                                               BOOLEAN singleEntry, PUNICODE_STRING mask,
                                               BOOLEAN restartScan);

namespace vemo {
namespace {

constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006L);  // STATUS_NO_MORE_FILES
constexpr NTSTATUS kNoSuchFile = static_cast<NTSTATUS>(0xC000000FL);   // STATUS_NO_SUCH_FILE
// What a layer below (Wine over a Linux disk, for one) answers for a name that holds a character
// Windows forbids in names.
constexpr NTSTATUS kNameInvalid = static_cast<NTSTATUS>(0xC0000033L);   // OBJECT_NAME_INVALID
constexpr NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003AL);  // OBJECT_PATH_NOT_FOUND
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ULONG kListBufferBytes = 64 * 1024;

// The three classes of a failed enumeration, as the C runtime's error numbers group them.
ListStatus Classify(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NO_MORE_FILES:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY: return ListStatus::NotFound;
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_DATA:
    case ERROR_INVALID_PARAMETER: return ListStatus::InvalidName;
    default: return ListStatus::OtherError;
  }
}

ListStatus ClassifyStatus(NTSTATUS status) { return Classify(RtlNtStatusToDosError(status)); }

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Opens `name` (UTF-16) relative to `root`, or as a full NT path when root is null.
NTSTATUS OpenRelative(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG options,
                      HANDLE& opened) {
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  OBJECT_ATTRIBUTES attributes;
  // Exactly the name the listing gave: a folder that tells case apart keeps "a" and "A" apart.
  InitializeObjectAttributes(&attributes, &text, 0, root, nullptr);
  IO_STATUS_BLOCK io;
  opened = nullptr;
  return NtOpenFile(&opened, access, &attributes, &io, kShareAll,
                    options | FILE_SYNCHRONOUS_IO_NONALERT);
}

// Whether Windows forbids a name that holds this character (a layer below may still list one).
bool Forbidden(wchar_t c) {
  return c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'/' || c == L'\\' ||
         c == L'|' || c == L'?' || c == L'*';
}

// The NT form of a literal path: "\\?\C:\x" is "\??\C:\x".
std::wstring NtPath(const std::wstring& literal) {
  std::wstring path = literal;
  if (path.compare(0, 4, L"\\\\?\\") == 0) path[1] = L'?';
  return path;
}

class Win32FileSystem : public FileSystem {
 public:
  char Separator() const override { return '\\'; }
  bool EndsInSeparator(std::string_view path) const override {
    return win32::EndsInSeparator(path);
  }

  std::string ResolveFolder(const std::string& text) override {
    return win32::ResolveFolderText(text);
  }

  ListStatus OpenFolder(FolderHandle parent, std::string_view name, FolderHandle& folder) override {
    folder = kNoFolder;
    const HANDLE root = parent == kNoFolder ? nullptr : AsHandle(parent);
    const std::wstring wide = root ? ToWide(name) : NtPath(ToWide(name));
    HANDLE opened = nullptr;
    const NTSTATUS status =
        OpenEntry(parent, name, wide,
                  FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                  FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT, opened);
    if (!NT_SUCCESS(status)) return ClassifyStatus(status);
    folder = reinterpret_cast<FolderHandle>(opened);
    return ListStatus::Ok;
  }

  void CloseFolder(FolderHandle folder) override {
    if (folder != kNoFolder) CloseHandle(AsHandle(folder));
  }

  ListStatus List(FolderHandle folder, EntryReceiver& receiver, bool) override {
    std::vector<char> buffer(kListBufferBytes);
    std::string name;
    std::unordered_map<std::string, std::wstring> shortNames;
    for (bool first = true;; first = false) {
      IO_STATUS_BLOCK io;
      const NTSTATUS status = NtQueryDirectoryFile(
          AsHandle(folder), nullptr, nullptr, nullptr, &io, buffer.data(), kListBufferBytes,
          FileBothDirectoryInformation, FALSE, nullptr, first ? TRUE : FALSE);
      if (status == kNoMoreFiles || status == kNoSuchFile) {
        KeepShortNames(folder, std::move(shortNames));
        return first ? ListStatus::NotFound : ListStatus::Ok;  // an empty root has no "."
      }
      if (!NT_SUCCESS(status)) {
        KeepShortNames(folder, std::move(shortNames));
        return first ? ClassifyStatus(status) : ListStatus::Ok;
      }
      for (size_t at = 0;;) {
        const auto* entry = reinterpret_cast<const FILE_BOTH_DIR_INFORMATION*>(&buffer[at]);
        const std::wstring_view wide(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
        if (!wide.empty() && wide[0] == L'.') {
          receiver.Entry(".", EntryKind::File, 0);
        } else {
          name = ToUtf8(wide);
          // A name no Windows call takes: its short name still opens it.
          if (entry->ShortNameLength > 0 &&
              std::find_if(wide.begin(), wide.end(), Forbidden) != wide.end())
            shortNames[name].assign(entry->ShortName, entry->ShortNameLength / sizeof(wchar_t));
          if (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            receiver.Entry(name, EntryKind::Folder, 0);
          else
            receiver.Entry(name, EntryKind::File, entry->EndOfFile.QuadPart);
        }
        if (entry->NextEntryOffset == 0) break;
        at += entry->NextEntryOffset;
      }
    }
  }

  // The file system's 64-bit index (a file id without its volume): one question, where the
  // volume's serial can cost a walk up the folders in some layers.
  FolderId IdentifyFolder(FolderHandle folder) override {
    FolderId id;
    FILE_INTERNAL_INFORMATION info;
    IO_STATUS_BLOCK io;
    if (!NT_SUCCESS(NtQueryInformationFile(AsHandle(folder), &io, &info, sizeof info,
                                           FileInternalInformation)))
      return ExactFolderId(folder);
    id.low = static_cast<uint64_t>(info.IndexNumber.QuadPart);
    id.known = id.low != 0;
    return id.known ? id : ExactFolderId(folder);
  }

  // The volume's serial and the 128-bit file id (ReFS keeps only those unique), else the
  // volume and the 64-bit index.
  FolderId ExactFolderId(FolderHandle folder) override {
    FolderId id;
    FILE_ID_INFO info;
    if (GetFileInformationByHandleEx(AsHandle(folder), FileIdInfo, &info, sizeof info)) {
      id.volume = info.VolumeSerialNumber;
      memcpy(&id.low, info.FileId.Identifier, 8);
      memcpy(&id.high, info.FileId.Identifier + 8, 8);
    } else {
      BY_HANDLE_FILE_INFORMATION old;
      if (!GetFileInformationByHandle(AsHandle(folder), &old)) return id;
      id.volume = old.dwVolumeSerialNumber;
      id.low = (static_cast<uint64_t>(old.nFileIndexHigh) << 32) | old.nFileIndexLow;
    }
    // A file system that keeps no ids gives zeros: nothing to tell folders apart by.
    id.known = id.low != 0 || id.high != 0;
    return id;
  }

  OpenedFile OpenFile(FolderHandle folder, std::string_view name) override {
    OpenedFile opened;
    UniqueHandle file;
    const NTSTATUS status = OpenEntry(folder, name, ToWide(name), FILE_GENERIC_READ,
                                      FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, *file.Put());
    // Only a file on a disk: a pipe or a device (a name that leads to one) could block or
    // never end.
    if (!NT_SUCCESS(status) || GetFileType(file.Get()) != FILE_TYPE_DISK) return opened;
    opened.handle = reinterpret_cast<FileHandle>(file.Release());
    return opened;
  }

  ReadResult ReadAt(FileHandle file, int64_t offset, void* buffer, size_t size) override {
    ReadResult read;
    while (read.got < size) {
      // A positioned read on a synchronous handle: no shared file position between threads.
      OVERLAPPED at{};
      const uint64_t position = static_cast<uint64_t>(offset) + read.got;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      DWORD got = 0;
      if (!ReadFile(AsHandle(file), static_cast<char*>(buffer) + read.got,
                    static_cast<DWORD>(size - read.got), &got, &at)) {
        read.failed = GetLastError() != ERROR_HANDLE_EOF;  // past the end is the end
        break;
      }
      if (got == 0) break;
      read.got += got;
    }
    return read;
  }

  void Close(FileHandle file) override { CloseHandle(AsHandle(file)); }

 private:
  // Opens an entry of a folder by its name (wide: the same in UTF-16), or by the short name its
  // listing gave where the name holds a character Windows forbids and the layer below refuses it.
  NTSTATUS OpenEntry(FolderHandle folder, std::string_view name, const std::wstring& wide,
                     ACCESS_MASK access, ULONG options, HANDLE& opened) {
    const HANDLE root = folder == kNoFolder ? nullptr : AsHandle(folder);
    NTSTATUS status = OpenRelative(root, wide, access, options, opened);
    if (root && (status == kNameInvalid || status == kPathNotFound)) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (shortNames_.empty()) return status;
      }
      const std::string key = FolderKey(folder);
      std::wstring shortName;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        auto names = shortNames_.find(key);
        if (names == shortNames_.end()) return status;
        auto known = names->second.find(std::string(name));
        if (known == names->second.end()) return status;
        shortName = known->second;
      }
      status = OpenRelative(root, shortName, access, options, opened);
    }
    return status;
  }

  // A folder by what it is, not by its handle: a folder the walk let go and opened again (or
  // opened on another thread) finds the short names its listing gave.
  std::string FolderKey(FolderHandle folder) {
    const FolderId id = ExactFolderId(folder);
    if (!id.known) return {};
    std::string key(24, '\0');
    memcpy(&key[0], &id.volume, 8);
    memcpy(&key[8], &id.low, 8);
    memcpy(&key[16], &id.high, 8);
    return key;
  }

  void KeepShortNames(FolderHandle folder, std::unordered_map<std::string, std::wstring> names) {
    if (names.empty()) return;
    std::string key = FolderKey(folder);
    if (key.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    shortNames_[std::move(key)] = std::move(names);
  }

  // The short names of the entries that only a short name opens, per folder listed (listed on
  // one thread, opened on others too). Only names that hold a character Windows forbids are
  // kept, and they stay for the file system's life: such folders are few.
  std::mutex mutex_;
  std::unordered_map<std::string, std::unordered_map<std::string, std::wstring>> shortNames_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeWin32FileSystem() { return std::make_unique<Win32FileSystem>(); }
std::unique_ptr<FileSystem> MakePosixFileSystem() { return nullptr; }
std::unique_ptr<FileSystem> MakeNativeFileSystem() { return MakeWin32FileSystem(); }

}  // namespace vemo
