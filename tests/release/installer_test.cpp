// The installer and the uninstaller run as a user runs them: silently and by hand, over the
// previous version and under it, for all users, and while Vemo runs. Every test starts from a
// machine without Vemo. The Wine prefix is this test's own, so its registry and Start menu hold
// nothing of the other tests. VEMO_SETUP_EXE (a Linux path) names another installer to test, such
// as the one in dist/.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <exdisp.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "release/version.h"
#include "tests/support/run_process.h"
#include "tests/support/vemo_process.h"
#include "tests/support/window_probe.h"
#include "win32/known_folder.h"

namespace vemo {
namespace {

namespace fs = std::filesystem;
using namespace vemo::testing;

const wchar_t* const kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemo";
const wchar_t* const kSettingsKey = L"Software\\Pelk\\Vemo";
const char* const kInstalledFiles[] = {"vemo.exe", "vemo-cli.exe", "README.txt", "LICENSE.txt",
                                       "uninstall.exe"};

std::wstring SetupExe() {
  const char* other = std::getenv("VEMO_SETUP_EXE");
  return ToWide(WinePath(other && *other ? other : VEMO_SETUP));
}

std::wstring PreviousSetupExe() { return ToWide(WinePath(VEMO_PREVIOUS_SETUP)); }

fs::path KnownFolder(REFKNOWNFOLDERID id) { return win32::KnownFolderPath(id); }

fs::path PerUserFolder() { return KnownFolder(FOLDERID_LocalAppData) / "Programs" / "Vemo"; }
fs::path AllUsersFolder() { return KnownFolder(FOLDERID_ProgramFiles) / "Vemo"; }
fs::path PerUserShortcut() { return KnownFolder(FOLDERID_Programs) / "Vemo.lnk"; }
fs::path AllUsersShortcut() {
  return KnownFolder(FOLDERID_CommonPrograms) / "Vemo (all users).lnk";
}

bool KeyExists(HKEY root, const wchar_t* key) {
  HKEY handle;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::optional<std::wstring> Text(HKEY root, const wchar_t* key, const wchar_t* value) {
  wchar_t text[2048];
  DWORD size = sizeof text;
  if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(text);
}

std::optional<DWORD> Number(HKEY root, const wchar_t* key, const wchar_t* value) {
  DWORD number = 0, size = sizeof number;
  if (RegGetValueW(root, key, value, RRF_RT_REG_DWORD, nullptr, &number, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return number;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool SamePath(const fs::path& a, const fs::path& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Runs a command line to its end: its exit status, or -1 when it did not end in time.
long RunCommand(std::wstring commandLine, DWORD timeoutMs = 120000) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return -2;
  long status = -1;
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    status = static_cast<long>(code);
  } else {
    TerminateProcess(pi.hProcess, 9);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return status;
}

long Install(const std::wstring& setup, const std::wstring& switches = L"") {
  return RunCommand(L"\"" + setup + L"\" /S" + (switches.empty() ? L"" : L" " + switches));
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  for (int waited = 0; waited <= timeoutMs; waited += 50) {
    if (done()) return true;
    Sleep(50);
  }
  return false;
}

// The uninstaller as a script or a package manager runs it: the entry's quiet command, whose
// status is the answer (-3: no command).
long UninstallQuietly(HKEY root) {
  std::optional<std::wstring> command = Text(root, kUninstallKey, L"QuietUninstallString");
  return command ? RunCommand(*command) : -3;
}

// The instant the uninstaller has ended, nothing of the install is left.
void ExpectGone(HKEY root, const fs::path& folder) {
  std::string left;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    left += " " + entry.path().filename().string();
  EXPECT_FALSE(fs::exists(folder)) << "left:" << left;
  EXPECT_FALSE(KeyExists(root, kUninstallKey));
  EXPECT_FALSE(fs::exists(root == HKEY_CURRENT_USER ? PerUserShortcut() : AllUsersShortcut()));
}

// The message box of process pid with this caption whose text holds `part` (Setup's own window
// has the caption of its boxes), or none.
SeenBox WaitForBox(DWORD pid, const char* caption, const std::string& part, int timeoutMs = 30000) {
  SeenBox found;
  WaitUntil(
      [&] {
        for (HWND h : TopWindows(pid)) {
          if (ClassName(h) != "#32770" || CaptionOf(h) != caption) continue;
          SeenBox box = ReadMessageBox(h);
          if (box.text.find(part) != std::string::npos) found = box;
        }
        return static_cast<bool>(found);
      },
      timeoutMs);
  return found;
}

fs::path ShortcutTarget(const fs::path& link) {
  IShellLinkW* shell = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = L"";
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shell)))) {
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)))
        shell->GetPath(target, MAX_PATH, nullptr, 0);
      file->Release();
    }
    shell->Release();
  }
  return target;
}

struct VersionResource {
  DWORD fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
  std::wstring Get(const wchar_t* name) const {
    void* value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || !length) return L"";
    return static_cast<const wchar_t*>(value);
  }
  std::vector<char> data;
};

std::optional<VersionResource> ReadVersion(const fs::path& file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (!size) return std::nullopt;
  VersionResource version;
  version.data.resize(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, version.data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(version.data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      fixed->dwSignature != VS_FFI_SIGNATURE)
    return std::nullopt;
  version.fileMs = fixed->dwFileVersionMS;
  version.fileLs = fixed->dwFileVersionLS;
  version.productMs = fixed->dwProductVersionMS;
  version.productLs = fixed->dwProductVersionLS;
  return version;
}

class Installer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

  // Nothing of Vemo on the machine, whatever an earlier test left. A file of an earlier install
  // can stay held for a moment after its test (the desktop's shortcut reader takes the program's
  // icon from it), so clearing waits, as the uninstaller does.
  void SetUp() override {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeW(root, kUninstallKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    for (const fs::path& path : {PerUserFolder(), AllUsersFolder(), OtherFolder(),
                                 PerUserShortcut(), AllUsersShortcut()}) {
      const bool cleared = WaitUntil([&] {
        std::error_code ignored;
        fs::remove_all(path, ignored);
        return !fs::exists(path, ignored);
      });
      ASSERT_TRUE(cleared) << "still there: " << path.string();
    }
  }

  static fs::path OtherFolder() { return KnownFolder(FOLDERID_LocalAppData) / "Tools" / "Vemo 1"; }

  static void ExpectFiles(const fs::path& folder) {
    for (const char* name : kInstalledFiles)
      EXPECT_TRUE(fs::is_regular_file(folder / name)) << name;
  }

  // The README names the version installed.
  static std::string ReadmeVersion(const fs::path& folder) {
    std::string text = ReadAll(folder / "README.txt");
    return text.substr(0, text.find("\r\n"));
  }
};

TEST_F(Installer, SilentInstallForTheUserPutsFilesShortcutAndUninstallEntry) {
  ASSERT_EQ(Install(SetupExe()), 0);
  const fs::path folder = PerUserFolder();
  ExpectFiles(folder);
  std::string readme = ReadAll(folder / "README.txt");
  EXPECT_EQ(ReadmeVersion(folder), std::string("Vemo ") + VEMO_VERSION);
  size_t bareLineFeeds = 0;
  for (size_t i = 0; i < readme.size(); ++i)
    bareLineFeeds += readme[i] == '\n' && readme[i - 1] != '\r';
  EXPECT_EQ(bareLineFeeds, 0u) << "README.txt has Windows line endings";
  EXPECT_NE(readme.find("HKEY_CURRENT_USER\\Software\\Pelk\\Vemo"), std::string::npos);

  EXPECT_TRUE(SamePath(ShortcutTarget(PerUserShortcut()), folder / "vemo.exe"));

  const HKEY user = HKEY_CURRENT_USER;
  const std::wstring dir = folder.wstring();
  EXPECT_EQ(Text(user, kUninstallKey, L"DisplayName"), L"Vemo");
  EXPECT_EQ(Text(user, kUninstallKey, L"DisplayVersion"), ToWide(VEMO_VERSION));
  EXPECT_EQ(Text(user, kUninstallKey, L"Publisher"), ToWide(VEMO_COMPANY));
  EXPECT_EQ(Text(user, kUninstallKey, L"DisplayIcon"), dir + L"\\vemo.exe,0");
  EXPECT_EQ(Text(user, kUninstallKey, L"InstallLocation"), dir);
  EXPECT_EQ(Text(user, kUninstallKey, L"UninstallString"), L"\"" + dir + L"\\uninstall.exe\"");
  EXPECT_EQ(Text(user, kUninstallKey, L"QuietUninstallString"),
            L"\"" + dir + L"\\uninstall.exe\" /S");
  EXPECT_EQ(Number(user, kUninstallKey, L"NoModify"), 1u);
  EXPECT_EQ(Number(user, kUninstallKey, L"NoRepair"), 1u);
  uintmax_t bytes = 0;
  for (const char* name : kInstalledFiles) bytes += fs::file_size(folder / name);
  std::optional<DWORD> kilobytes = Number(user, kUninstallKey, L"EstimatedSize");
  ASSERT_TRUE(kilobytes);
  EXPECT_NEAR(static_cast<double>(*kilobytes), bytes / 1024.0, 4.0);

  // Nothing for all users, and no administrator's folders touched.
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(fs::exists(AllUsersFolder()));
  EXPECT_FALSE(fs::exists(AllUsersShortcut()));
}

// Whether the program's first icon group (the one the shell shows) is the program icon.
bool HasProgramIcon(const fs::path& program) {
  HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return false;
  const bool found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON) != nullptr;
  FreeLibrary(module);
  return found;
}

TEST_F(Installer, InstalledProgramsAndSetupCarryTheVersionAndTheIcon) {
  ASSERT_EQ(Install(SetupExe()), 0);
  const DWORD ms = MAKELONG(VEMO_VERSION_MINOR, VEMO_VERSION_MAJOR);
  const DWORD ls = MAKELONG(0, VEMO_VERSION_LEVEL);
  for (const char* name : {"vemo.exe", "vemo-cli.exe", "uninstall.exe"}) {
    SCOPED_TRACE(name);
    std::optional<VersionResource> version = ReadVersion(PerUserFolder() / name);
    ASSERT_TRUE(version) << "no version resource";
    EXPECT_EQ(version->fileMs, ms);
    EXPECT_EQ(version->fileLs, ls);
    EXPECT_EQ(version->productMs, ms);
    EXPECT_EQ(version->productLs, ls);
    EXPECT_EQ(version->Get(L"ProductName"), L"Vemo");
    EXPECT_EQ(version->Get(L"FileVersion"), ToWide(VEMO_VERSION ".0"));
    EXPECT_EQ(version->Get(L"ProductVersion"), ToWide(VEMO_VERSION));
    EXPECT_EQ(version->Get(L"CompanyName"), ToWide(VEMO_COMPANY));
    EXPECT_EQ(version->Get(L"LegalCopyright"), ToWide(VEMO_COPYRIGHT));
    EXPECT_EQ(version->Get(L"OriginalFilename"), ToWide(name));
    EXPECT_NE(version->Get(L"FileDescription"), L"");
    EXPECT_TRUE(HasProgramIcon(PerUserFolder() / name));
  }
  EXPECT_NE(ReadVersion(PerUserFolder() / "vemo.exe")->Get(L"FileDescription"),
            ReadVersion(PerUserFolder() / "vemo-cli.exe")->Get(L"FileDescription"));
  EXPECT_EQ(ReadVersion(PerUserFolder() / "uninstall.exe")->Get(L"FileDescription"),
            L"Vemo Uninstaller");

  std::optional<VersionResource> setup = ReadVersion(SetupExe());
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->Get(L"ProductName"), L"Vemo");
  EXPECT_EQ(setup->Get(L"ProductVersion"), ToWide(VEMO_VERSION));
  EXPECT_EQ(setup->Get(L"FileDescription"), L"Vemo Setup");
  EXPECT_EQ(setup->Get(L"OriginalFilename"), ToWide("vemo-" VEMO_VERSION "-setup.exe"));
  EXPECT_EQ(setup->Get(L"CompanyName"), ToWide(VEMO_COMPANY));
  EXPECT_EQ(setup->Get(L"LegalCopyright"), ToWide(VEMO_COPYRIGHT));

  test::ProcessResult cli =
      test::RunProcess({ToUtf8((PerUserFolder() / "vemo-cli.exe").wstring()), "--version"});
  EXPECT_EQ(cli.out, std::string("vemo-cli ") + VEMO_VERSION + "\n");
  EXPECT_EQ(cli.status, 0);
}

TEST_F(Installer, InstalledVemoStartsAndUninstallLeavesOnlyItsSettings) {
  ASSERT_EQ(Install(SetupExe()), 0);
  {
    // Started as the Start menu starts it.
    VemoProcess vemo(ToUtf8(ShortcutTarget(PerUserShortcut()).wstring()));
    ASSERT_TRUE(vemo.Started());
    HWND main = vemo.WaitMainWindow(30000);
    ASSERT_TRUE(main) << "no main window";
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(vemo.WaitExit(20000), 0);
  }
  ASSERT_EQ(Text(HKEY_CURRENT_USER, kSettingsKey, L"Version"), ToWide(VEMO_VERSION_TEXT))
      << "the settings stored at the close";

  EXPECT_EQ(UninstallQuietly(HKEY_CURRENT_USER), 0);
  ExpectGone(HKEY_CURRENT_USER, PerUserFolder());
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kSettingsKey, L"Version"), ToWide(VEMO_VERSION_TEXT))
      << "the settings stay";
}

TEST_F(Installer, UpgradeOverThePreviousVersionStaysWhereItWas) {
  const fs::path folder = OtherFolder();
  ASSERT_EQ(Install(PreviousSetupExe(), L"/D=" + folder.wstring()), 0);
  ASSERT_EQ(Text(HKEY_CURRENT_USER, kUninstallKey, L"DisplayVersion"),
            ToWide(VEMO_PREVIOUS_VERSION));
  ASSERT_EQ(ReadmeVersion(folder), std::string("Vemo ") + VEMO_PREVIOUS_VERSION);
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Folder1", REG_SZ, L"C:\\kept",
                  sizeof L"C:\\kept");

  ASSERT_EQ(Install(SetupExe()), 0);
  ExpectFiles(folder);
  EXPECT_EQ(ReadmeVersion(folder), std::string("Vemo ") + VEMO_VERSION);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kUninstallKey, L"DisplayVersion"), ToWide(VEMO_VERSION));
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kUninstallKey, L"InstallLocation"), folder.wstring());
  EXPECT_FALSE(fs::exists(PerUserFolder())) << "a second install in the default folder";
  EXPECT_TRUE(SamePath(ShortcutTarget(PerUserShortcut()), folder / "vemo.exe"));
  int shortcuts = 0;
  for (const auto& entry : fs::directory_iterator(PerUserShortcut().parent_path()))
    shortcuts += entry.path().extension() == ".lnk";
  EXPECT_EQ(shortcuts, 1);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kSettingsKey, L"Folder1"), L"C:\\kept");

  EXPECT_EQ(UninstallQuietly(HKEY_CURRENT_USER), 0);
  ExpectGone(HKEY_CURRENT_USER, folder);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kSettingsKey, L"Folder1"), L"C:\\kept");
}

TEST_F(Installer, ARunningVemoIsNeitherOverwrittenNorRemoved) {
  ASSERT_EQ(Install(SetupExe()), 0);
  const fs::path folder = PerUserFolder();
  // A mark that a copy of the files would wipe out.
  std::ofstream(folder / "README.txt", std::ios::app) << "mark";
  VemoProcess vemo(ToUtf8((folder / "vemo.exe").wstring()));
  HWND main = vemo.WaitMainWindow(30000);
  ASSERT_TRUE(main);

  EXPECT_EQ(Install(SetupExe()), 2) << "silent: stops with status 2";

  // Run by hand, Setup says why before anything else and stops when told to.
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + SetupExe() + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  SeenBox box = ReadMessageBox(FindMessageBox("Vemo Setup", pi.dwProcessId, 30000));
  EXPECT_TRUE(box);
  EXPECT_NE(box.text.find("Vemo is running (" + ToUtf8(folder.wstring()) + "\\vemo.exe)"),
            std::string::npos)
      << box.text;
  EXPECT_NE(box.text.find("Close every Vemo window"), std::string::npos) << box.text;
  if (box) PressBoxButton(box.hwnd, IDCANCEL);
  DWORD code = 0;
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 2u);
  if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 9);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);

  // Neither does the uninstaller: silently it says so by its status, by hand it says why.
  EXPECT_EQ(UninstallQuietly(HKEY_CURRENT_USER), 2);
  VemoProcess uninstaller(ToUtf8((folder / "uninstall.exe").wstring()));
  SeenBox question =
      WaitForBox(uninstaller.Pid(), "Uninstall Vemo", "Remove Vemo from this computer?");
  ASSERT_TRUE(question) << "no question before removing";
  PressBoxButton(question.hwnd, IDYES);
  box = WaitForBox(uninstaller.Pid(), "Uninstall Vemo",
                   "Cancel stops the uninstaller and leaves Vemo as it is");
  EXPECT_TRUE(box) << "no box naming the uninstaller";
  if (box) PressBoxButton(box.hwnd, IDCANCEL);
  EXPECT_EQ(uninstaller.WaitExit(20000), 2);
  ExpectFiles(folder);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
  EXPECT_TRUE(fs::exists(PerUserShortcut()));
  std::string readme = ReadAll(folder / "README.txt");
  EXPECT_EQ(readme.substr(readme.size() - 4), "mark") << "README.txt was overwritten";

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(vemo.WaitExit(20000), 0);
}

// A file held for a moment (a virus scanner, an indexer, the shell reading an icon) is waited
// for: the uninstall still succeeds whole.
TEST_F(Installer, AFileHeldForAMomentIsWaitedFor) {
  ASSERT_EQ(Install(SetupExe()), 0);
  const fs::path folder = PerUserFolder();
  HANDLE held = CreateFileW((folder / "README.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // Let go once the uninstaller has met the hold: the files it deletes before this one are gone.
  std::thread letGo([&] {
    WaitUntil([&] { return !fs::exists(folder / "vemo-cli.exe"); });
    CloseHandle(held);
  });
  EXPECT_EQ(UninstallQuietly(HKEY_CURRENT_USER), 0);
  letGo.join();
  ExpectGone(HKEY_CURRENT_USER, folder);
}

// The uninstaller removes nothing but the install it belongs to, and nothing on a switch it does
// not know.
TEST_F(Installer, AnUninstallerOutsideItsInstallOrWithAnUnknownSwitchRemovesNothing) {
  ASSERT_EQ(Install(SetupExe()), 0);
  const fs::path folder = PerUserFolder(), other = OtherFolder();
  fs::create_directories(other);
  for (const char* name : kInstalledFiles) fs::copy_file(folder / name, other / name);
  for (const fs::path& place : {other, folder}) {
    SCOPED_TRACE(ToUtf8(place.wstring()));
    const std::wstring switches = place == other ? L" /S" : L" /S /X";
    EXPECT_EQ(RunCommand(L"\"" + (place / "uninstall.exe").wstring() + L"\"" + switches), 2);
    ExpectFiles(place);
  }
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
}

TEST_F(Installer, AllUsersSwitchInstallsIntoProgramFilesForEveryone) {
  // The user of the Wine prefix is an administrator, so Setup needs no second, elevated run.
  ASSERT_EQ(Install(SetupExe(), L"/AllUsers"), 0);
  const fs::path folder = AllUsersFolder();
  ExpectFiles(folder);
  EXPECT_TRUE(SamePath(ShortcutTarget(AllUsersShortcut()), folder / "vemo.exe"));
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), folder.wstring());
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), ToWide(VEMO_VERSION));
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Vemo (all users)");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
  EXPECT_FALSE(fs::exists(PerUserFolder()));

  EXPECT_EQ(UninstallQuietly(HKEY_LOCAL_MACHINE), 0);
  ExpectGone(HKEY_LOCAL_MACHINE, folder);
}

// Setup run by hand: its window, and on it the page whose heading is `heading` (the header's
// title, control 1037; its subtitle is 1038).
class SetupWindow {
 public:
  explicit SetupWindow(const std::wstring& switches)
      : process_(ToUtf8(SetupExe()), ToUtf8(switches)) {}
  VemoProcess& Process() { return process_; }
  HWND WaitPage(const std::string& heading) {
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND h : TopWindows(process_.Pid())) {
        if (CaptionOf(h).rfind("Vemo Setup", 0) != 0) continue;  // a page may add to it
        seen_ = WindowText(GetDlgItem(h, 1037));
        if (seen_ == heading) found = h;
      }
      return found != nullptr;
    });
    return found;
  }
  const std::string& SeenHeading() const { return seen_; }  // the last one, for a failure
  // Cancel, and yes to the question whether to quit: Setup ends with status 1.
  long Cancel(HWND window) {
    PressBoxButton(window, IDCANCEL);
    SeenBox sure = WaitForBox(process_.Pid(), "Vemo Setup", "Are you sure you want to quit");
    if (sure) PressBoxButton(sure.hwnd, IDYES);
    return process_.WaitExit(30000);
  }

 private:
  VemoProcess process_;
  std::string seen_;
};

// The first page Setup shows has no working "< Back": going back from it used to end Setup
// silently with status 0. An upgrade says so, and from which version.
TEST_F(Installer, SetupsFirstPageHasNoBackAndAnUpgradeSaysItIsOne) {
  const std::string upgrade = "Upgrade Vemo " VEMO_PREVIOUS_VERSION " to " VEMO_VERSION ".";
  struct Case {
    const char* what;
    const wchar_t* switches;
    bool previousInstalled;
    const char* heading;
    std::string subheading;
  } cases[] = {
      {"the users page of an elevated Setup", L"", false, "Choose Users", ""},
      {"the folder page of a per-user install", L"/CurrentUser", false, "Choose Install Location",
       "Choose the folder in which to install Vemo " VEMO_VERSION "."},
      {"the folder page of an upgrade", L"", true, "Upgrade Vemo", upgrade},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    if (c.previousInstalled) {
      ASSERT_EQ(Install(PreviousSetupExe()), 0);
    }
    SetupWindow setup(c.switches);
    HWND window = setup.WaitPage(c.heading);
    ASSERT_TRUE(window) << "no page headed " << c.heading << ", but " << setup.SeenHeading();
    HWND back = GetDlgItem(window, 3);
    EXPECT_TRUE(!back || !IsWindowVisible(back) || !IsWindowEnabled(back)) << "Back works";
    if (!c.subheading.empty()) {
      EXPECT_EQ(WindowText(GetDlgItem(window, 1038)), c.subheading);
    }
    EXPECT_EQ(setup.Cancel(window), 1);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kUninstallKey, L"DisplayVersion"),
              c.previousInstalled ? std::optional<std::wstring>(ToWide(VEMO_PREVIOUS_VERSION))
                                  : std::nullopt);
  }
}

DWORD ParentOf(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID == pid) parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  return parent;
}

// The pid of a running process with this exe name other than `except`, or 0.
DWORD ProcessNamed(const wchar_t* name, DWORD except = 0) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD pid = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (_wcsicmp(entry.szExeFile, name) == 0 && entry.th32ProcessID != except)
      pid = entry.th32ProcessID;
  CloseHandle(snapshot);
  return pid;
}

// A user's desktop has its shell up long before any Setup ends; the test's fresh one may still
// be starting it, and a Setup that cannot reach it says so in a box. True once the shell gives
// its desktop window, as Setup asks for it.
bool DesktopShellAnswers() {
  IShellWindows* windows = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                              IID_PPV_ARGS(&windows))))
    return false;
  VARIANT desktop{}, empty{};
  desktop.vt = VT_I4;
  desktop.lVal = CSIDL_DESKTOP;
  long hwnd = 0;
  IDispatch* dispatch = nullptr;
  const bool answers = windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &hwnd,
                                             SWFO_NEEDDISPATCH, &dispatch) == S_OK;
  if (dispatch) dispatch->Release();
  windows->Release();
  return answers;
}

// "Start Vemo" on the Finish page of an elevated Setup (Wine's user is an administrator) starts
// Vemo through the desktop's shell, as the user of the desktop, not as a child of Setup.
TEST_F(Installer, FinishPageStartsVemoThroughTheDesktopShell) {
  SetupWindow setup(L"/CurrentUser");
  HWND window = setup.WaitPage("Choose Install Location");
  ASSERT_TRUE(window) << setup.SeenHeading();
  PressBoxButton(window, IDOK);  // Install
  ASSERT_TRUE(WaitUntil([&] { return ChildWithText(window, "Start Vemo") != nullptr; }))
      << "no Finish page";
  ASSERT_TRUE(WaitUntil(DesktopShellAnswers)) << "the desktop's shell never answered";
  PressBoxButton(window, IDOK);  // Finish, with "Start Vemo" ticked
  EXPECT_EQ(setup.Process().WaitExit(30000), 0);
  DWORD vemo = 0;
  ASSERT_TRUE(WaitUntil([&] { return (vemo = ProcessNamed(L"vemo.exe")) != 0; })) << "not started";
  VemoProcess started(vemo);
  EXPECT_NE(ParentOf(vemo), setup.Process().Pid());
  EXPECT_EQ(ParentOf(vemo), ProcessNamed(L"explorer.exe")) << "not started by the shell";
  HWND main = started.WaitMainWindow(30000);
  ASSERT_TRUE(main);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(started.WaitExit(20000), 0);
}

// An older version over a newer one: by hand Setup asks first, silently it refuses; both times
// the newer install stays, and the status says why.
TEST_F(Installer, AnOlderVersionOverANewerOneAsksFirst) {
  ASSERT_EQ(Install(SetupExe()), 0);
  EXPECT_EQ(Install(PreviousSetupExe()), 3) << "silent: refused with status 3";

  VemoProcess setup(ToUtf8(PreviousSetupExe()));
  SeenBox box =
      WaitForBox(setup.Pid(), "Vemo Setup",
                 "Vemo " VEMO_VERSION
                 " is installed, a newer version than this Setup's " VEMO_PREVIOUS_VERSION ".");
  EXPECT_NE(box.text.find("Replace it with the older version " VEMO_PREVIOUS_VERSION "?"),
            std::string::npos)
      << box.text;
  if (box) PressBoxButton(box.hwnd, IDNO);
  EXPECT_EQ(setup.WaitExit(30000), 3);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, kUninstallKey, L"DisplayVersion"), ToWide(VEMO_VERSION));
  EXPECT_EQ(ReadmeVersion(PerUserFolder()), std::string("Vemo ") + VEMO_VERSION);
}

}  // namespace
}  // namespace vemo
