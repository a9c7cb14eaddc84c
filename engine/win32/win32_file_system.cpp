// Folder listing and file reading over Win32: FindFirstFileExW order, '\' joins, "X:" drives;
// every path is a literal one (win32/path.h).
#include <windows.h>

#include "engine/file_system.h"
#include "win32/path.h"
#include "win32/text.h"

namespace vemo {
namespace {

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

class Win32FileSystem : public FileSystem {
 public:
  char Separator() const override { return '\\'; }
  bool EndsInSeparator(std::string_view path) const override {
    return !path.empty() && (path.back() == '\\' || path.back() == ':');
  }

  std::string ResolveFolder(const std::string& text) override {
    return win32::ResolveFolderText(text);
  }

  ListStatus List(const std::string& folder, EntryReceiver& receiver) override {
    // "*" rather than "*.*": the literal form takes the mask as it is, and it matches every name.
    std::wstring pattern = ToWide(folder);
    if (!EndsInSeparator(folder)) pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return Classify(GetLastError());
    std::string name;
    do {
      if (data.cFileName[0] == L'.') {
        receiver.Entry(".", false, 0);
        continue;
      }
      name = ToUtf8(data.cFileName);
      bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      int64_t size = isFolder
                         ? 0
                         : static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                                data.nFileSizeLow);
      receiver.Entry(name, isFolder, size);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ListStatus::Ok;
  }

  FileHandle Open(const std::string& path) override {
    HANDLE h = CreateFileW(ToWide(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return kNoFile;
    return reinterpret_cast<FileHandle>(h);
  }

  size_t Read(FileHandle file, void* buffer, size_t size) override {
    size_t done = 0;
    while (done < size) {
      DWORD got = 0;
      if (!ReadFile(reinterpret_cast<HANDLE>(file), static_cast<char*>(buffer) + done,
                    static_cast<DWORD>(size - done), &got, nullptr) ||
          got == 0)
        break;
      done += got;
    }
    return done;
  }

  void Close(FileHandle file) override { CloseHandle(reinterpret_cast<HANDLE>(file)); }

  bool IdentifyFolder(const std::string& path, FolderId& id) override {
    HANDLE h = CreateFileW(ToWide(path).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok =
        GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(h);
    if (!ok) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeWin32FileSystem() { return std::make_unique<Win32FileSystem>(); }
std::unique_ptr<FileSystem> MakePosixFileSystem() { return nullptr; }
std::unique_ptr<FileSystem> MakeNativeFileSystem() { return MakeWin32FileSystem(); }

}  // namespace vemo
