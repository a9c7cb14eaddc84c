// What only the Win32 file system shows: attributes, sharing, reparse points, huge files, names.
#include <windows.h>
#include <winioctl.h>

#include <cstdlib>

#include "engine_fixture.h"
#include "win32/text.h"

namespace vemo::test {
namespace {

class Win32Test : public EngineTest {
 protected:
  std::wstring WidePath(const std::string& rel) const { return ToWide(Path(rel)); }
};

TEST_F(Win32Test, HiddenAndSystemFilesAndFoldersAreListedLikeAllOthers) {
  tree.File("1/hidden", "h");
  tree.File("1/system", "s");
  tree.File("1/sub/readonly", "r");
  tree.Folder("2/sub");
  tree.File("2/hidden", "h");
  tree.File("2/system", "S");
  SetFileAttributesW(WidePath("1/hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(WidePath("1/system").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(WidePath("1/sub").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  SetFileAttributesW(WidePath("1/sub/readonly").c_str(), FILE_ATTRIBUTE_READONLY);
  state.recursive = 1;
  EXPECT_EQ(Compare("1", "2"),
            (Lines{Differ("1/system", "2/system"), NoCounterpart("1/sub", "readonly")}));
  EXPECT_EQ(state.filesCompared, 1);
  SetFileAttributesW(WidePath("1/sub/readonly").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32Test, AnInvalidNameIsAListingLine) {
  tree.Folder("2");
  Lines lines = Compare("bad<|>name", "2");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], Pattern("bad<|>name") + " : No file found.");
}

TEST_F(Win32Test, DriveAndRootPathsJoinWithoutASecondSeparator) {
  engine.CompareFolderPair("Q:", "Q:\\");  // no such drive: the patterns show the joining rule
  EXPECT_EQ(sink.lines, (Lines{"Q:*.* : No file found.", "Q:\\*.* : No file found."}));
}

TEST_F(Win32Test, AFileHeldOpenByAnotherWriterIsStillCompared) {
  tree.File("1/busy", "same");
  tree.File("2/busy", "same");
  HANDLE writer =
      CreateFileW(WidePath("1/busy").c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Compare("1", "2"), Lines{});
  EXPECT_EQ(state.filesCompared, 1);
  CloseHandle(writer);
}

TEST_F(Win32Test, AFileLockedWithoutSharingCannotBeOpenedAndIsClosedAgainOnTheOtherSide) {
  tree.File("1/locked", "x");
  tree.File("2/locked", "x");
  HANDLE owner = CreateFileW(WidePath("2/locked").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             0, nullptr);
  ASSERT_NE(owner, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Compare("1", "2"), Lines{"Can't open : " + Path("2/locked")});
  EXPECT_EQ(state.filesCompared, 0);
  CloseHandle(owner);
  // Nothing of ours is left open: the file can be taken exclusively now.
  HANDLE again = CreateFileW(WidePath("1/locked").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             0, nullptr);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);
}

TEST_F(Win32Test, AFileOver4GiBIsListedAndShownWithItsFullSize) {
  const int64_t size = (int64_t(1) << 32) + 4096;
  tree.Folder("1");
  tree.Folder("2");
  for (const char* side : {"1", "2"}) {
    HANDLE h = CreateFileW(WidePath(std::string(side) + "/huge").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD ignored;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    if (side[0] == '2') WriteFile(h, "d", 1, &ignored, nullptr);  // differs in the first block
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
  }
  EXPECT_EQ(Compare("1", "2"), Lines{Differ("1/huge", "2/huge")});
  EXPECT_EQ(state.folderTotal[0], size >> 3);
  EXPECT_EQ(state.folderTotal[1], size >> 3);
  EXPECT_EQ(sink.Captions(Panel::Panel2), Lines{"    0/ 4096MB"});
  EXPECT_EQ(sink.Captions(Panel::Panel3), Lines{"    0/ 4096MB"});
}

// A folder junction to `target` at `link`, as mklink /J makes it.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::wstring substitute = L"\\??\\" + target;
  std::vector<char> buffer(sizeof(DWORD) + 2 * sizeof(WORD) + 4 * sizeof(WORD) +
                           (substitute.size() + target.size() + 2) * sizeof(wchar_t));
  auto* data = reinterpret_cast<WORD*>(buffer.data());
  *reinterpret_cast<DWORD*>(data) = IO_REPARSE_TAG_MOUNT_POINT;
  data[2] = static_cast<WORD>(buffer.size() - 8);  // ReparseDataLength
  data[4] = 0;                                     // SubstituteNameOffset
  data[5] = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  data[6] = static_cast<WORD>((substitute.size() + 1) * sizeof(wchar_t));  // PrintNameOffset
  data[7] = static_cast<WORD>(target.size() * sizeof(wchar_t));
  wchar_t* path = reinterpret_cast<wchar_t*>(data + 8);
  std::copy(substitute.begin(), substitute.end(), path);
  path[substitute.size()] = 0;
  std::copy(target.begin(), target.end(), path + substitute.size() + 1);
  path[substitute.size() + 1 + target.size()] = 0;
  DWORD ignored;
  BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                            static_cast<DWORD>(buffer.size()), nullptr, 0, &ignored, nullptr);
  CloseHandle(h);
  return ok;
}

// A junction loop where the system makes junctions; otherwise (Wine) a host symbolic-link
// loop that the set-up step made.
TEST_F(Win32Test, ALinkLoopIsNotEntered) {
  std::string base = Path();
  tree.File("1/sub/f", "x");
  tree.File("2/sub/f", "x");
  bool junctions = MakeJunction(WidePath("1/sub/loop"), WidePath("1")) &&
                   MakeJunction(WidePath("2/sub/loop"), WidePath("2"));
  if (!junctions) {
    const char* prepared = std::getenv("VEMO_TEST_DATA");
    if (!prepared) GTEST_SKIP() << "no junctions here and VEMO_TEST_DATA is not set";
    base = HostPath(prepared) + "\\loop";
  }
  state.recursive = 1;
  EXPECT_TRUE(engine.Run(base + "\\1", base + "\\2"));
  EXPECT_EQ(sink.lines, Lines{base + "\\1\\sub\\loop\\*.* : Directory searching error."});
  EXPECT_EQ(state.filesCompared, 1);
  if (junctions) {
    RemoveDirectoryW(WidePath("1/sub/loop").c_str());
    RemoveDirectoryW(WidePath("2/sub/loop").c_str());
  }
}

}  // namespace
}  // namespace vemo::test
