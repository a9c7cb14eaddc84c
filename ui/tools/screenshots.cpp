// vemo_screenshots.exe FOLDER [--high-contrast]: shows every window of the program (and the main
// window with each menu open) and writes what the screen shows of it as BMP files into FOLDER.
// --high-contrast draws the high-contrast look (in a prefix with a high-contrast scheme), which
// the system would turn on itself if Wine could report it.
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "ui/app/startup.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/colors.h"
#include "ui/toolkit/gdi.h"
#include "ui/toolkit/pump_for.h"
#include "ui/toolkit/window_text.h"
#include "ui/windows/forms.h"
#include "win32/unique_handle.h"

namespace {

using namespace vemo;
std::wstring folder;

void SaveScreenRect(RECT r, const std::wstring& name) {
  int w = r.right - r.left, h = r.bottom - r.top;
  const ui::gdi::WindowDc screen;
  const ui::gdi::MemoryDc mem(screen.Get());
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  const ui::gdi::Object<HBITMAP> bmp(
      CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  const ui::gdi::Selection picture(mem.Get(), bmp.Get());
  BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
  GdiFlush();
  int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
  fh.bfSize = fh.bfOffBits + stride * h;
  const UniqueHandle f(CreateFileW((folder + L"\\" + name + L".bmp").c_str(), GENERIC_WRITE, 0,
                                   nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written;
  WriteFile(f.Get(), &fh, sizeof(fh), &written, nullptr);
  WriteFile(f.Get(), &bi.bmiHeader, sizeof(bi.bmiHeader), &written, nullptr);
  WriteFile(f.Get(), bits, stride * h, &written, nullptr);
}

void SaveWindow(ui::Form& form, const std::wstring& name) {
  ui::PumpFor(400);
  RECT r;
  GetWindowRect(form.Handle(), &r);
  SaveScreenRect(r, name);
}

// The open drop-down menu, captured from inside the menu's own loop.
std::wstring menu_shot;
void CALLBACK CaptureMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  RECT r;
  GetWindowRect(Form1->Handle(), &r);
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (popup && IsWindowVisible(popup)) {
    RECT p;
    GetWindowRect(popup, &p);
    UnionRect(&r, &r, &p);
  }
  SaveScreenRect(r, menu_shot);
  EndMenu();
}

// The first start in a fresh prefix shows the settings message before the main window: take
// its picture and answer it, from a helper thread, so the pictures go on.
void AnswerSettingsMessage() {
  std::thread([] {
    for (int i = 0; i < 200; ++i) {
      HWND box = nullptr;
      EnumWindows(
          [](HWND hwnd, LPARAM found) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
                lstrcmpW(cls, L"#32770") != 0)
              return TRUE;
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&box));
      if (box) {
        Sleep(300);
        RECT r;
        GetWindowRect(box, &r);
        SaveScreenRect(r, L"settings_message");
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return;
      }
      if (Form1 && Form1->Visible()) return;
      Sleep(50);
    }
  }).detach();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  folder = argc > 1 ? argv[1] : L".";
  for (int i = 2; i < argc; ++i)
    if (lstrcmpW(argv[i], L"--high-contrast") == 0) ui::ForceHighContrast(true);
  ui::App().Initialize();
  ui::App().SetTitle("Vemo");
  CreateForms();
  BindHandlers();
  ShowWindow(ui::App().Handle(), SW_SHOWNOACTIVATE);
  AnswerSettingsMessage();
  Form1->Show();
  SaveWindow(*Form1, L"main");

  struct {
    const wchar_t* name;
    wchar_t key;
  } menus[] = {{L"main_menu_file", L'f'},
               {L"main_menu_view", L'v'},
               {L"main_menu_option", L'o'},
               {L"main_menu_language", L'l'},
               {L"main_menu_help", L'h'}};
  for (auto& m : menus) {
    menu_shot = m.name;
    SetForegroundWindow(Form1->Handle());
    SetTimer(nullptr, 0, 700, CaptureMenu);
    PostMessageW(Form1->Handle(), WM_SYSCOMMAND, SC_KEYMENU, m.key);
    ui::PumpFor(1500);
  }

  // The drive box of Folder 2 dropped down, over a folder list moved to the system folder.
  Form1->DirectoryListBox2.SetDirectory("C:\\windows\\system32");
  SetForegroundWindow(Form1->Handle());
  SendMessageW(Form1->DriveComboBox2.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  ui::PumpFor(500);
  {
    RECT r, list;
    GetWindowRect(Form1->Handle(), &r);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(Form1->DriveComboBox2.Handle(), &info);
    GetWindowRect(info.hwndList, &list);
    UnionRect(&r, &r, &list);
    SaveScreenRect(r, L"main_drive_list");
  }
  SendMessageW(Form1->DriveComboBox2.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  ui::PumpFor(200);

  Form2->Memo1.AppendLine(
      "A line much longer than the window is wide stays one line and is "
      "reached with the horizontal scroll bar: C:\\Folder\\Sub\\file.txt");
  Form2->Memo1.AppendLine(u8"Japanese names show as they are: C:\\フォルダ\\ファイル.txt");
  Form2->Show();
  SaveWindow(*Form2, L"error_info");
  Form2->Hide();

  About->Show();
  SaveWindow(*About, L"about");
  About->Label2Click();
  ui::PumpFor(2500);
  SaveWindow(*About, L"about_scene");
  About->Hide();

  PBar->ProgressBar2.SetMax(1024);
  PBar->ProgressBar2.SetPosition(400);
  PBar->ProgressBar1.SetMax(1024);
  PBar->ProgressBar1.SetPosition(700);
  PBar->Panel3.SetCaption(" 1527/14495MB");
  PBar->Panel2.SetCaption("10239/10239KB");
  PBar->Panel1.SetCaption("C:\\Folder 1\\Sub\\file.txt");
  PBar->Show();
  SaveWindow(*PBar, L"progress");
  PBar->Hide();

  DragDropMsg->Message.SetCaption("Which folder (1 or 2) do you want droped folder set?");
  DragDropMsg->Show();
  SaveWindow(*DragDropMsg, L"drop_question");
  DragDropMsg->Hide();
  return 0;
}
