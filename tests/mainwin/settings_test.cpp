// Loading and storing the main window's settings in Wine's real registry.
#include "ui/main/settings.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <map>
#include <optional>

#include <gtest/gtest.h>

#include "engine/run_state.h"
#include "tests/mainwin/main_window_fixture.h"
#include "tests/mainwin/read_only_key.h"
#include "tests/mainwin/spare_drive.h"
#include "tests/support/hang_guard.h"
#include "tests/support/settle.h"
#include "tests/support/temp_tree.h"
#include "ui/toolkit/drives.h"
#include "ui/toolkit/drives_seam.h"
#include "ui/toolkit/window_text.h"

using namespace vemo;
using namespace vemo::testing;
using vemo::test::TempTree;
namespace drives = vemo::ui::drives;

namespace {

class Settings : public MainWindowTest {};

struct StoredValue {
  DWORD type;
  std::wstring text;
  DWORD number;
};

std::map<std::wstring, StoredValue> StoredValues() {
  std::map<std::wstring, StoredValue> values;
  auto key = ui::RegistryKey::Open(HKEY_CURRENT_USER, mainwin::kSettingsKey);
  if (!key) return values;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256, type = 0;
    BYTE data[4096];
    DWORD size = sizeof(data);
    if (RegEnumValueW(key->Handle(), index, name, &nameLength, nullptr, &type, data, &size) !=
        ERROR_SUCCESS)
      break;
    StoredValue value{type, L"", 0};
    if (type == REG_SZ) value.text.assign(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t));
    if (type == REG_DWORD) value.number = *reinterpret_cast<DWORD*>(data);
    values[name] = value;
  }
  return values;
}

std::wstring Wide(const std::string& text) { return ToWide(text) + L'\0'; }

RECT Edges() {
  RECT edges;
  GetWindowRect(Form1->Handle(), &edges);
  return edges;
}

// The title bar's close box: the system command that a click on it sends.
void CloseFromTitleBar() {
  SendMessageW(Form1->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  DrainQuit();
}

void ResetControls() {
  Form1->CheckBox2.SetChecked(true);
  Form1->CheckBox3.SetChecked(false);
  Form1->CheckBox1.SetChecked(false);
  if (!Form1->AnimationA1.Checked()) Form1->AnimationA1.Click();
  Form1->Edit1.SetText("Folder 1");
  Form1->Edit2.SetText("Folder 2");
}

TEST_F(Settings, FirstStartShowsTheFirstRunMessageAndTheFirstCloseStoresEverything) {
  DeleteSettings();
  {
    AnswerBox answer(IDOK);
    Form1->Show();
    SeenBox box = answer.Seen();
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, "Vemo");
    EXPECT_EQ(box.text, mainwin::kFirstRunMessage);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
  }
  Pump();
  EXPECT_TRUE(Form1->Visible());
  EXPECT_EQ(Form1->Edit1.Text(), "Folder 1");
  EXPECT_EQ(Form1->Edit2.Text(), "Folder 2");
  EXPECT_TRUE(Form1->CheckBox2.Checked());
  EXPECT_TRUE(Form1->AnimationA1.Checked());
  // The window accepts files dropped from the shell.
  EXPECT_TRUE(GetWindowLongW(Form1->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

  SetWindowPos(Form1->Handle(), nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT edges = Edges();
  {
    AnswerBox none(IDOK);
    CloseFromTitleBar();  // no question: straight to the store
    EXPECT_FALSE(none.SeenAfterSettling().shown);
  }
  EXPECT_FALSE(Form1->Visible());

  std::map<std::wstring, StoredValue> values = StoredValues();
  ASSERT_EQ(values.size(), 11u);
  auto text = [&](const wchar_t* name) {
    EXPECT_EQ(values[name].type, static_cast<DWORD>(REG_SZ)) << name;
    return values[name].text;
  };
  auto number = [&](const wchar_t* name) {
    EXPECT_EQ(values[name].type, static_cast<DWORD>(REG_DWORD)) << name;
    return values[name].number;
  };
  EXPECT_EQ(text(L"Version"), Wide(kVersion));
  EXPECT_EQ(static_cast<LONG>(number(L"WindowTop")), edges.top);
  EXPECT_EQ(static_cast<LONG>(number(L"WindowLeft")), edges.left);
  EXPECT_EQ(text(L"Folder1"), Wide("Folder 1"));
  EXPECT_EQ(text(L"Folder2"), Wide("Folder 2"));
  EXPECT_EQ(number(L"Anime"), 1u);
  EXPECT_EQ(number(L"Recursive"), 1u);
  EXPECT_EQ(number(L"IgnoreNoFile"), 0u);
  EXPECT_EQ(number(L"IgnoreCases"), 0u);
  EXPECT_EQ(number(L"Language"), 0u);
  EXPECT_EQ(text(L"\u88CF\u60C5\u5831"),
            L"\uFF71\uFF86\uFF92\uFF70\uFF7C\uFF6E\uFF9D\u3067\u904B\u3070\u308C\u3066\u3044"
            L"\u308B\uFF8C\uFF6B\uFF99\uFF80\uFF9E\u3092\u3064\u307E\u3093\u3067\u307F\u3088"
            L"\u3046!" +
                std::wstring(1, L'\0'));

  // The next start finds its own version: no message, the stored window place.
  {
    AnswerBox none(IDOK);
    Form1->Show();
    EXPECT_FALSE(none.SeenAfterSettling().shown);
  }
  Pump();
  EXPECT_EQ(Edges().top, edges.top);
  EXPECT_EQ(Edges().left, edges.left);
}

TEST_F(Settings, AnotherVersionIsIgnoredAsAWholeAndOverwrittenAtTheNextClose) {
  ShowQuietly();
  for (const char* version :
       {"Version 1.2 L10", "", "version 1.3 l11", static_cast<const char*>(nullptr)}) {
    ResetControls();
    WriteSettings("C:\\", "C:\\", 5000, 5000);
    {
      ui::RegistryKey key = SettingsKey();
      key.WriteInt("Recursive", 0);
      key.WriteInt("Anime", 0);
      if (version)
        key.WriteString("Version", version);
      else
        RegDeleteValueW(key.Handle(), L"Version");
    }
    RECT before = Edges();
    AnswerBox answer(IDOK);
    Reshow();
    SeenBox box = answer.Seen();
    EXPECT_EQ(box.caption, "Vemo");
    EXPECT_EQ(box.text, mainwin::kOtherVersionMessage) << (version ? version : "(absent)");
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(Form1->CheckBox2.Checked());
    EXPECT_TRUE(Form1->AnimationA1.Checked());
    EXPECT_EQ(Form1->Edit1.Text(), "Folder 1");
    EXPECT_EQ(Edges().top, before.top);
  }
  CloseFromTitleBar();
  std::map<std::wstring, StoredValue> values = StoredValues();
  EXPECT_EQ(values[L"Version"].text, Wide(kVersion));
  EXPECT_EQ(values[L"Recursive"].number, 1u);
  EXPECT_EQ(values[L"Folder1"].text, Wide("Folder 1"));
  Form1->Show();
  Pump();
}

TEST_F(Settings, StoredValuesAreAppliedAsStored) {
  ShowQuietly();
  ResetControls();
  TempTree tree("stored");
  std::string folder = tree.Folder("Stored Folder");
  std::string lower = folder;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  WriteSettings(lower, "Folder 2", 40, -200);  // partly off the screen, the title bar on it
  {
    ui::RegistryKey key = SettingsKey();
    key.WriteInt("Anime", 0);
    key.WriteInt("Recursive", 0);
    key.WriteInt("IgnoreNoFile", 1);
    key.WriteInt("IgnoreCases", 5);
    key.WriteInt("Language", 1);
  }
  SharedRunState().language = 0;
  Reshow();
  EXPECT_EQ(PlaceAsShown().top, 40);
  EXPECT_EQ(PlaceAsShown().left, -200);
  EXPECT_FALSE(Form1->AnimationA1.Checked());
  EXPECT_FALSE(Form1->CheckBox2.Checked());
  EXPECT_FALSE(Form1->RecursiveR1.Checked());
  EXPECT_TRUE(Form1->CheckBox3.Checked());
  EXPECT_TRUE(Form1->IgnoreNoFileN1.Checked());
  EXPECT_TRUE(Form1->CheckBox1.Checked());
  EXPECT_TRUE(Form1->IgnoreCasesOfFilenameC1.Checked());
  EXPECT_EQ(SharedRunState().language.load(), 0);  // never read back
  EXPECT_EQ(Form1->Edit1.Text(), lower);           // exactly as stored
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), folder);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), folder[0]);
  EXPECT_EQ(Form1->Edit2.Text(), "Folder 2");

  // The store takes the menu items' marks and the window's place.
  const RECT place = Edges();
  CloseFromTitleBar();
  std::map<std::wstring, StoredValue> values = StoredValues();
  EXPECT_EQ(values[L"IgnoreCases"].number, 1u);
  EXPECT_EQ(values[L"Recursive"].number, 0u);
  EXPECT_EQ(values[L"Anime"].number, 0u);
  EXPECT_EQ(values[L"Language"].number, 0u);
  EXPECT_EQ(static_cast<int>(values[L"WindowTop"].number), place.top);
  EXPECT_EQ(static_cast<int>(values[L"WindowLeft"].number), place.left);
  EXPECT_EQ(values[L"Folder1"].text, Wide(lower));
  mainwin::SettingsValues offScreen =
      mainwin::CurrentSettings();  // a place left of and above the screen
  offScreen.top = -5;
  offScreen.left = -200;
  mainwin::StoreSettings(offScreen);
  values = StoredValues();
  EXPECT_EQ(static_cast<int>(values[L"WindowTop"].number), -5);
  EXPECT_EQ(static_cast<int>(values[L"WindowLeft"].number), -200);
  WriteSettings("Folder 1", "Folder 2");
  Form1->Show();
  Pump();
}

// A stored place whose title bar lies outside every monitor's work area (a monitor unplugged
// since) puts the window onto the nearest monitor; places on the screen stay as stored.
TEST_F(Settings, AWindowStoredOffEveryMonitorComesBackOntoTheNearestOne) {
  ShowQuietly();
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT size = Edges();
  const int width = size.right - size.left, height = size.bottom - size.top;
  struct Case {
    int top, left;
    bool moved;
    const char* what;
  };
  const Case cases[] = {
      {-3000, 5000, true, "far above and to the right"},
      {work.top + 50, work.right + 400, true, "beyond the right edge"},
      {work.top - height + 4, work.left + 100, true,
       "above the top edge, the frame's foot showing"},
      {work.bottom + 10, work.left + 100, true, "below the bottom edge"},
      {work.top + 60, work.left - width + 80, false,
       "mostly off the left edge, the title bar's end on it"},
      {work.bottom - 40, work.left + 30, false,
       "mostly below the bottom edge, the title bar on it"},
      {work.top, work.left, false, "at the work area's corner"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    WriteSettings("Folder 1", "Folder 2", test.top, test.left);
    Reshow();
    const RECT now = PlaceAsShown();
    if (!test.moved) {
      EXPECT_EQ(now.top, test.top);
      EXPECT_EQ(now.left, test.left);
      continue;
    }
    // Wholly on the work area of the (only) monitor, as near the stored place as fits.
    EXPECT_GE(now.left, work.left);
    EXPECT_GE(now.top, work.top);
    EXPECT_LE(now.right, work.right);
    EXPECT_LE(now.bottom, work.bottom);
    EXPECT_EQ(now.right - now.left, width);
    if (test.left > work.right) {
      EXPECT_EQ(now.right, work.right);
    }
    if (test.top > work.bottom) {
      EXPECT_EQ(now.bottom, work.bottom);
    }
    if (test.left >= work.left && test.left + width <= work.right) {
      EXPECT_EQ(now.left, test.left);
    }
    // The close stores the place the window is at now.
    CloseFromTitleBar();
    std::map<std::wstring, StoredValue> values = StoredValues();
    EXPECT_EQ(static_cast<int>(values[L"WindowTop"].number), now.top);
    EXPECT_EQ(static_cast<int>(values[L"WindowLeft"].number), now.left);
    Form1->Show();
    Pump();
  }
  WriteSettings("Folder 1", "Folder 2");
}

TEST_F(Settings, AMinimisedWindowStoresWhereItWillComeBack) {
  ShowQuietly();
  SetWindowPos(Form1->Handle(), nullptr, 210, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Form1->Minimize();
  Pump();
  SendMessageW(Form1->Handle(), WM_CLOSE, 0, 0);
  DrainQuit();
  std::map<std::wstring, StoredValue> values = StoredValues();
  EXPECT_EQ(static_cast<int>(values[L"WindowTop"].number), 150);
  EXPECT_EQ(static_cast<int>(values[L"WindowLeft"].number), 210);
  Form1->Restore();
  Form1->Show();
  Pump();
}

// A value absent or of another type stops the load there, with an error naming it.
TEST_F(Settings, AWrongValueStopsTheLoadWithAnErrorNamingIt) {
  ShowQuietly();
  struct Case {
    const char* value;
    DWORD type;  // REG_NONE: absent
    std::string message;
  };
  const Case cases[] = {
      {"WindowTop", REG_SZ, "The registry value \"WindowTop\" is not a REG_DWORD number."},
      {"Anime", REG_NONE, "The registry value \"Anime\" is absent."},
      {"IgnoreNoFile", REG_BINARY,
       "The registry value \"IgnoreNoFile\" is not a REG_DWORD number."},
      {"Folder1", REG_DWORD, "The registry value \"Folder1\" is not a text."},
  };
  TempTree tree("wrong");
  for (const Case& test : cases) {
    ResetControls();
    SetWindowPos(Form1->Handle(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    WriteSettings(tree.Path(), tree.Path(), 60, 70);
    {
      ui::RegistryKey key = SettingsKey();
      key.WriteInt("Recursive", 0);
      key.WriteInt("IgnoreNoFile", 1);
      key.WriteInt("IgnoreCases", 1);
      std::wstring name = ToWide(test.value);
      RegDeleteValueW(key.Handle(), name.c_str());
      const BYTE data[4] = {1, 0, 0, 0};
      if (test.type == REG_SZ) key.WriteString(test.value, "1");
      if (test.type == REG_DWORD) key.WriteInt(test.value, 1);
      if (test.type == REG_BINARY)
        RegSetValueExW(key.Handle(), name.c_str(), 0, REG_BINARY, data, sizeof(data));
    }
    AnswerBox answer(IDOK);
    Reshow();
    SeenBox box = answer.Seen();
    EXPECT_EQ(box.caption, ui::App().Title()) << test.value;
    EXPECT_EQ(box.text, test.message) << test.value;
    EXPECT_TRUE(Form1->Visible());
    std::string stop = test.value;
    // Applied up to the value, not after it (load order: top, left, anime, recursive,
    // ignore-nofile, ignore-cases, folder 1, folder 2).
    bool topApplied = stop != "WindowTop";
    EXPECT_EQ(Edges().top == 60, topApplied) << stop;
    EXPECT_EQ(Edges().left == 70, topApplied) << stop;
    bool recursiveApplied = stop == "IgnoreNoFile" || stop == "Folder1";
    EXPECT_EQ(!Form1->CheckBox2.Checked(), recursiveApplied) << stop;
    EXPECT_EQ(!Form1->RecursiveR1.Checked(), recursiveApplied) << stop;
    bool casesApplied = stop == "Folder1";
    EXPECT_EQ(Form1->CheckBox1.Checked(), casesApplied) << stop;
    EXPECT_EQ(Form1->CheckBox3.Checked(), casesApplied) << stop;
    EXPECT_EQ(Form1->Edit1.Text(), "Folder 1") << stop;
    EXPECT_EQ(Form1->Edit2.Text(), "Folder 2") << stop;
  }
  WriteSettings("Folder 1", "Folder 2");
}

// A settings key that the user may only read: it is loaded like any other, and only the close,
// which cannot store, says so.
TEST_F(Settings, AKeyTheUserMayOnlyReadIsLoadedWithoutAWord) {
  ShowQuietly();
  ResetControls();
  WriteSettings("Folder 1", "Folder 2");
  SettingsKey().WriteInt("Recursive", 0);
  {
    ReadOnlyKey locked(mainwin::kSettingsKey);
    {
      AnswerBox none(IDOK);
      Reshow();
      EXPECT_FALSE(none.SeenAfterSettling().shown);
    }
    EXPECT_FALSE(Form1->CheckBox2.Checked());
    AnswerBox report(IDOK);
    CloseFromTitleBar();
    EXPECT_EQ(
        report.Seen().text.rfind("Cannot create the registry key \"\\Software\\Pelk\\Vemo\": ", 0),
        0u);
  }
  EXPECT_EQ(StoredValues()[L"Recursive"].number, 0u);
  WriteSettings("Folder 1", "Folder 2");
  Form1->Show();
  Pump();
}

// The session ends (log off, shut down): the system may end the process once the message has
// been answered, so the settings are stored then, exactly as a close stores them. Asked first
// whether the session may end, the program says yes.
TEST_F(Settings, TheSessionsEndStoresWhatACloseStores) {
  ShowQuietly();
  ResetControls();
  Form1->Edit1.SetText("typed before the end");
  Form1->CheckBox3.SetChecked(true);
  CloseFromTitleBar();
  const std::map<std::wstring, StoredValue> byClose = StoredValues();
  Form1->Show();
  Pump();
  DeleteSettings();

  HWND application = ui::App().Handle();
  EXPECT_EQ(SendMessageW(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageW(application, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // the end was called off
  EXPECT_TRUE(StoredValues().empty());
  SendMessageW(application, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  const std::map<std::wstring, StoredValue> bySessionEnd = StoredValues();
  ASSERT_EQ(bySessionEnd.size(), byClose.size());
  for (const auto& [name, value] : byClose) {
    EXPECT_EQ(bySessionEnd.at(name).type, value.type);
    EXPECT_EQ(bySessionEnd.at(name).text, value.text);
    EXPECT_EQ(bySessionEnd.at(name).number, value.number);
  }
  EXPECT_TRUE(Form1->Visible()) << "the system ends the process, not the program";
  WriteSettings("Folder 1", "Folder 2");
}

class FolderRestore : public MainWindowTest {
 protected:
  void SetUp() override {
    ShowQuietly();
    start = tree.Folder("start");
    Form1->DriveComboBox1.SetDrive(start[0]);
    Form1->DirectoryListBox1.SetDirectory(start);
    Form1->Edit2.SetText("Folder 2");
  }
  // Restores Folder 1 from a stored text through the show handler.
  void Restore(const std::string& stored) {
    WriteSettings(stored, "Folder 2");
    Reshow();
  }
  TempTree tree{"restore"};
  std::string start;
};

TEST_F(FolderRestore, AVanishedFolderOnTheSameDriveKeepsTheStoredText) {
  std::string gone = tree.Path() + "\\gone";
  Restore(gone);
  EXPECT_EQ(Form1->Edit1.Text(), gone);
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), start[0]);
}

TEST_F(FolderRestore, AVanishedFolderOnAnotherDriveShowsThatDrive) {
  std::string zFolder = drives::CurrentFolder('Z');
  Restore("z:\\vemo-no-such-folder");
  EXPECT_EQ(Form1->Edit1.Text(), "Z:\\");
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), zFolder);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), 'Z');
}

TEST_F(FolderRestore, ADriveThatIsNotReadyShowsItsRootOnly) {
  UnreadyDrive unready;
  AnswerBox none(IDOK);
  Restore(unready.Root() + "data");
  EXPECT_FALSE(none.SeenAfterSettling().shown);
  EXPECT_EQ(Form1->Edit1.Text(), unready.Root());
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), unready.Letter());
}

// A stored folder on a drive that takes seconds to answer (a lost network drive, an empty card
// reader): the drive is asked off the user-interface thread, counts as not ready when it has
// not answered in time, and the window comes up without waiting for it (the probe here holds
// its answer until the test ends).
TEST_F(FolderRestore, ADriveThatTakesSecondsToAnswerIsNotReadyAndHoldsNothingUp) {
  UnreadyDrive slow;
  HeldProbe probe;
  WriteSettings(slow.Root() + "data", "Folder 2");
  Reshow();
  EXPECT_GT(probe.AskedInAll(1), 0);
  EXPECT_EQ(Form1->Edit1.Text(), slow.Root());
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
  EXPECT_EQ(Form1->DriveComboBox1.Drive(), slow.Letter());
}

// C: made as slow as a network drive at start-up: the stored folder waits for the drive's answer
// and is restored when it says "ready", unless the user has changed that side meanwhile or a
// run holds the window (disabled behind the progress window) when the answer comes.
TEST_F(FolderRestore, AStoredFolderOnADriveStillBeingAskedIsRestoredWhenItAnswersReady) {
  const std::string stored = tree.Folder("on a slow share");
  for (const char* meanwhile : {"nothing", "typed", "a run"}) {
    const std::string what = meanwhile;
    HeldProbe probe(std::string("SLOW"), "C");
    Restore(stored);
    EXPECT_EQ(Form1->Edit1.Text(), stored);
    EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start) << "not before the drive answers";
    if (what == "typed") Form1->Edit1.SetText("typed meanwhile");
    if (what == "a run") EnableWindow(Form1->Handle(), FALSE);
    probe.AnswerSoFar(std::string("SLOW"));
    ASSERT_TRUE(drives::AwaitAnswers('C', 1, test::kHangGuard));
    test::Settle();
    EnableWindow(Form1->Handle(), TRUE);
    EXPECT_EQ(Form1->Edit1.Text(), what == "typed" ? "typed meanwhile" : stored) << what;
    EXPECT_EQ(Form1->DirectoryListBox1.Directory(), what == "nothing" ? stored : start) << what;
    Form1->DirectoryListBox1.SetDirectory(start);
  }
}

// A drive picked in the drive box while it is still being asked: the list goes there once the
// drive answers "ready", and the edit box names its root as after any pick.
TEST_F(FolderRestore, ADrivePickedWhileStillBeingAskedIsShownWhenItAnswersReady) {
  HeldProbe probe(std::string("LATE"), "Z");
  Form1->DriveComboBox1.SetDrive('Z');
  EXPECT_EQ(Form1->Edit1.Text(), "Z:\\");
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
  probe.AnswerSoFar(std::string("LATE"));
  ASSERT_TRUE(drives::AwaitAnswers('Z', 1, test::kHangGuard));
  test::Settle();
  EXPECT_EQ(Form1->DirectoryListBox1.Drive(), 'Z');
  EXPECT_EQ(Form1->Edit1.Text(), "Z:\\");
  EXPECT_EQ(Form1->DriveComboBox1.Label('Z'), "LATE");
}

TEST_F(FolderRestore, TextsWithoutADriveLetterAreShownOnly) {
  for (const char* stored : {"\\\\server\\share\\folder", "relative\\path", ""}) {
    Restore(stored);
    EXPECT_EQ(Form1->Edit1.Text(), stored);
    EXPECT_EQ(Form1->DirectoryListBox1.Directory(), start);
    EXPECT_EQ(Form1->DriveComboBox1.Drive(), start[0]);
  }
}

TEST_F(FolderRestore, BothSidesAreRestored) {
  std::string other = tree.Folder("other");
  Restore(start);
  WriteSettings(other, start);
  Reshow();
  EXPECT_EQ(Form1->Edit1.Text(), other);
  EXPECT_EQ(Form1->DirectoryListBox1.Directory(), other);
  EXPECT_EQ(Form1->Edit2.Text(), start);
  EXPECT_EQ(Form1->DirectoryListBox2.Directory(), start);
}

}  // namespace
