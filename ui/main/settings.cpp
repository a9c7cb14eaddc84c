#include "ui/main/settings.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "engine/run_state.h"
#include "ui/main/settings_texts.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/dpi.h"
#include "ui/toolkit/registry_key.h"
#include "ui/windows/forms.h"

namespace vemo::mainwin {
namespace {

const unsigned kInformationOk = 64;

// The main window's outer edges; a minimised window reports where it will be restored to.
RECT WindowEdges() {
  HWND window = Form1->Handle();
  RECT edges{};
  if (IsIconic(window)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(window, &placement);
    return placement.rcNormalPosition;
  }
  GetWindowRect(window, &edges);
  return edges;
}

// The strip a user grabs to move the window: its title bar, in screen pixels.
RECT TitleBar(HWND window) {
  RECT edges{};
  GetWindowRect(window, &edges);
  const int dpi = ui::WindowDpi(window);
  const int height = ui::SystemMetricForDpi(SM_CYFRAME, dpi) +
                     ui::SystemMetricForDpi(SM_CXPADDEDBORDER, dpi) +
                     ui::SystemMetricForDpi(SM_CYCAPTION, dpi);
  return RECT{edges.left, edges.top, edges.right, edges.top + height};
}

// Whether some monitor's work area holds enough of the title bar to take hold of it.
bool TitleBarReachable(const RECT& bar, int dpi) {
  struct Search {
    RECT bar;
    int minWidth, minHeight;
    bool found;
  } search{bar, ui::ScaleToDpi(32, dpi), (bar.bottom - bar.top + 1) / 2, false};
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        RECT common{};
        if (GetMonitorInfoW(monitor, &info) && IntersectRect(&common, &s.bar, &info.rcWork) &&
            common.right - common.left >= s.minWidth && common.bottom - common.top >= s.minHeight)
          s.found = true;
        return !s.found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Puts the main window at a stored place. A place whose title bar no monitor's work area holds
// (a monitor unplugged since) would lose the window for good: it goes onto the nearest monitor
// instead. Every other place is applied as stored.
void PlaceMainWindow(int left, int top) {
  HWND window = Form1->Handle();
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT bar = TitleBar(window);
  if (TitleBarReachable(bar, ui::WindowDpi(window))) return;
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromRect(&bar, MONITOR_DEFAULTTONEAREST), &info)) return;
  RECT edges = WindowEdges();
  const RECT& work = info.rcWork;
  const int width = edges.right - edges.left, height = edges.bottom - edges.top;
  left = std::max<int>(work.left, std::min<int>(edges.left, work.right - width));
  top = std::max<int>(work.top, std::min<int>(edges.top, work.bottom - height));
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LoadCheckBox(const ui::RegistryKey& key, const char* name, ui::CheckBox& box,
                  ui::MenuItem& item) {
  box.SetChecked(key.ReadInt(name) != 0);  // a change runs the box's own mirroring
  item.SetChecked(box.Checked());
}

}  // namespace

void FormShow() {
  DragAcceptFiles(Form1->Handle(), TRUE);
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::srand(SeedFromTime(now.wMinute, now.wSecond, now.wMilliseconds / 10));
  LoadSettings();
}

void FormCloseQuery(bool& /*canClose*/) {
  try {
    StoreSettings();
  } catch (const std::exception& error) {
    // The window closes all the same; the user learns that the settings were not kept.
    ui::App().ShowErrorReport(error.what());
  }
}

void LoadSettings() {
  auto& form = *Form1;
  std::optional<ui::RegistryKey> key = ui::RegistryKey::Open(HKEY_CURRENT_USER, kSettingsKey);
  if (!key) {
    ui::App().MessageBox(kFirstRunMessage, kSettingsCaption, kInformationOk);
    return;
  }
  if (key->ReadStringOrEmpty(kVersionValue) != About->Label3.Caption()) {
    ui::App().MessageBox(kOtherVersionMessage, kSettingsCaption, kInformationOk);
    return;
  }
  int top = key->ReadInt(kWindowTopValue);
  PlaceMainWindow(WindowEdges().left, top);
  int left = key->ReadInt(kWindowLeftValue);
  PlaceMainWindow(left, top);
  form.AnimationA1.SetChecked(key->ReadInt(kAnimeValue) != 0);
  LoadCheckBox(*key, kRecursiveValue, form.CheckBox2, form.RecursiveR1);
  LoadCheckBox(*key, kIgnoreNoFileValue, form.CheckBox3, form.IgnoreNoFileN1);
  LoadCheckBox(*key, kIgnoreCasesValue, form.CheckBox1, form.IgnoreCasesOfFilenameC1);
  RestoreFolder(Side(0), key->ReadStringOrEmpty(kFolder1Value));
  RestoreFolder(Side(1), key->ReadStringOrEmpty(kFolder2Value));
}

void RestoreFolder(const FolderSide& side, const std::string& stored) {
  side.edit.SetText(stored);
  std::string path = side.edit.Text();
  if (!NamesDrive(path)) return;  // no drive letter: the text alone
  FollowPath(side, path, true);
}

SettingsValues CurrentSettings() {
  auto& form = *Form1;
  const RECT edges = WindowEdges();
  return SettingsValues{About->Label3.Caption(),
                        edges.top,
                        edges.left,
                        form.Edit1.Text(),
                        form.Edit2.Text(),
                        form.AnimationA1.Checked(),
                        form.RecursiveR1.Checked(),
                        form.IgnoreNoFileN1.Checked(),
                        form.IgnoreCasesOfFilenameC1.Checked(),
                        SharedRunState().language};
}

void StoreSettings(const SettingsValues& values) {
  ui::RegistryKey key = ui::RegistryKey::Create(HKEY_CURRENT_USER, kSettingsKey);
  key.WriteString(kVersionValue, values.version);
  key.WriteInt(kWindowTopValue, values.top);
  key.WriteInt(kWindowLeftValue, values.left);
  key.WriteString(kFolder1Value, values.folder1);
  key.WriteString(kFolder2Value, values.folder2);
  key.WriteInt(kAnimeValue, values.anime ? 1 : 0);
  key.WriteInt(kRecursiveValue, values.recursive ? 1 : 0);
  key.WriteInt(kIgnoreNoFileValue, values.ignoreNoFile ? 1 : 0);
  key.WriteInt(kIgnoreCasesValue, values.ignoreCases ? 1 : 0);
  key.WriteInt(kLanguageValue, values.language);
  key.WriteString(kHintValue, kHintText);
}

void StoreSettings() { StoreSettings(CurrentSettings()); }

void BindSettingsHandlers() {
  auto& form = *Form1;
  form.OnShow = [] { FormShow(); };
  form.OnCloseQuery = [](bool& canClose) { FormCloseQuery(canClose); };
}

}  // namespace vemo::mainwin
