// The five windows as created at start-up: references, captions, frames, client sizes, and
// every control's place, size, caption, font and initial state, checked from one table. The
// table is in layout units; the windows show it at the DPI of the Wine prefix the test runs in
// (CTest runs it at 96, 120, 144 and 192), each figure within one pixel of table x DPI / 96.
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "assets/art_ids.h"
#include "tests/ui/ui_test_support.h"
#include "ui/windows/layouts.h"

namespace vemo {
namespace {

using test::EnsureForms;

// The DPI the prefix was made with (VEMO_TEST_DPI), 96 without one.
int PrefixDpi() {
  const char* dpi = std::getenv("VEMO_TEST_DPI");
  return dpi ? std::atoi(dpi) : 96;
}

double Scaled(int units, int dpi) { return units * dpi / 96.0; }

TEST(Dpi, EveryWindowIsLaidOutAtTheDisplaysDpi) {
  EnsureForms();
  for (ui::Form* form :
       {static_cast<ui::Form*>(Form1), static_cast<ui::Form*>(Form2), static_cast<ui::Form*>(About),
        static_cast<ui::Form*>(PBar), static_cast<ui::Form*>(DragDropMsg)}) {
    SCOPED_TRACE(form->Name());
    EXPECT_EQ(form->Dpi(), PrefixDpi());
    EXPECT_EQ(ui::WindowDpi(form->Handle()), PrefixDpi());
    // The program's icon in the title bar and the task switcher, at this DPI's sizes.
    for (auto [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}) {
      auto icon = reinterpret_cast<HICON>(SendMessageW(form->Handle(), WM_GETICON, which, 0));
      ASSERT_NE(icon, nullptr);
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP mask{};
      GetObjectW(info.hbmMask, sizeof(mask), &mask);
      EXPECT_EQ(mask.bmWidth, ui::SystemMetricForDpi(metric, form->Dpi()));
      DeleteObject(info.hbmMask);
      if (info.hbmColor) DeleteObject(info.hbmColor);
    }
  }
}

TEST(Startup, FiveWindowsOneEachHiddenOwnedByTheApplication) {
  EnsureForms();
  std::vector<ui::Form*> forms = {Form1, Form2, About, PBar, DragDropMsg};
  for (size_t i = 0; i < forms.size(); ++i) {
    ASSERT_NE(forms[i], nullptr);
    EXPECT_FALSE(IsWindowVisible(forms[i]->Handle())) << forms[i]->Name();
    EXPECT_EQ(GetWindow(forms[i]->Handle(), GW_OWNER), ui::App().Handle()) << forms[i]->Name();
    for (size_t j = 0; j < i; ++j) EXPECT_NE(forms[i], forms[j]);
  }
  EXPECT_EQ(ui::App().MainForm(), Form1);  // the first one created
  // A new top-level window goes on top: before any is shown, the stacking from the top is
  // the reverse of the creation order.
  std::vector<HWND> stacking;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (ui::Form* form = ui::Form::FromWindow(w); form && form->Handle() == w)
      stacking.push_back(w);
  EXPECT_EQ(stacking, (std::vector<HWND>{DragDropMsg->Handle(), PBar->Handle(), About->Handle(),
                                         Form2->Handle(), Form1->Handle()}));
  EXPECT_EQ(ui::App().Title(), "Vemo");
  EXPECT_EQ(ui::WindowText(ui::App().Handle()), "Vemo");  // the taskbar text
}

// The window's layout table (ui/windows/layouts.h), which the windows are built from.
const WindowLayout& TableOf(const ui::Form* form) {
  if (form == Form1) return Form1Layout();
  if (form == Form2) return Form2Layout();
  if (form == About) return AboutLayout();
  if (form == PBar) return PBarLayout();
  return DragDropMsgLayout();
}

// The frames; their sizes are the windows' layout tables' (client size; Form2: outer size).
struct FormRow {
  ui::Form* form;
  const char* caption;
  bool sizeable, systemMenu, minimize, maximize;
  int fontHeight;
};

TEST(Layout, CaptionsFramesAndSizes) {
  EnsureForms();
  const FormRow rows[] = {
      {Form1, "Vemo", false, true, true, false, 12},
      {Form2, "Vemo Error Information", true, true, true, true, 12},
      {About, "About Vemo", false, true, false, false, 13},
      {PBar, "Vemo -  Comparing...", false, false, false, false, 12},
      {DragDropMsg, "Vemo", false, false, false, false, 12},
  };
  for (const FormRow& row : rows) {
    SCOPED_TRACE(row.form->Name());
    HWND hwnd = row.form->Handle();
    EXPECT_EQ(ui::WindowText(hwnd), row.caption);
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ((style & WS_THICKFRAME) != 0, row.sizeable);
    EXPECT_EQ((style & WS_SYSMENU) != 0, row.systemMenu);
    EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, row.minimize);
    EXPECT_EQ((style & WS_MAXIMIZEBOX) != 0, row.maximize);
    EXPECT_EQ(row.form->Font().height, row.fontHeight);
    const int dpi = row.form->Dpi();
    const ui::FormSpec& frame = TableOf(row.form).frame;
    RECT r;
    if (row.form == Form2) {
      GetWindowRect(hwnd, &r);
      EXPECT_NEAR(r.right - r.left, Scaled(frame.width, dpi), 1.0);
      EXPECT_NEAR(r.bottom - r.top, Scaled(frame.height, dpi), 1.0);
    } else {
      GetClientRect(hwnd, &r);
      EXPECT_NEAR(r.right, Scaled(frame.width, dpi), 1.0);
      EXPECT_NEAR(r.bottom, Scaled(frame.height, dpi), 1.0);
    }
  }
  // The About box has a dialog frame; the main window has the program's icon and its menu.
  EXPECT_TRUE(GetWindowLongW(About->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetMenu(Form1->Handle()), Form1->MainMenu1.Handle());
  EXPECT_EQ(About->Font().black, true);
}

// One row per control: what it says, its font and its state at start; where it lies and its
// place in the tab order are its row in the window's layout table.
struct ControlRow {
  ui::Control* control;
  ui::Control* parent;  // the form, or the group box it lies in
  const char* caption;
  int fontHeight;
  bool bold, italic, black;
  bool visible, enabled;
  bool focus;  // takes the focus, in its table row's tab order
  const ui::Layout& Table() const { return TableOf(control->OwnerForm()).At(control->Name()); }
};

std::vector<ControlRow> Rows() {
  TForm1& f = *Form1;
  TAbout& a = *About;
  TPBar& p = *PBar;
  TDragDropMsg& d = *DragDropMsg;
  return {
      {&f.GroupBox3, &f, "Options", 12, true, false, true, true, true, false},
      {&f.Button3, &f, u8"比較停止", 12, false, false, true, true, false, true},
      {&f.GroupBox2, &f, "Folder 2", 16, true, false, true, true, true, false},
      {&f.GroupBox1, &f, "Folder 1", 16, true, false, true, true, true, false},
      {&f.Button1, &f, "Exit", 16, true, false, true, true, true, true},
      {&f.DirectoryListBox1, &f, nullptr, 12, false, false, false, true, true, true},
      {&f.DriveComboBox1, &f, nullptr, 12, false, false, false, true, true, true},
      {&f.DirectoryListBox2, &f, nullptr, 12, false, false, false, true, true, true},
      {&f.DriveComboBox2, &f, nullptr, 12, false, false, false, true, true, true},
      {&f.Button2, &f, "Start", 16, true, false, true, true, true, true},
      {&f.Edit1, &f, "Folder 1", 12, false, false, true, true, true, true},
      {&f.Edit2, &f, "Folder 2", 12, false, false, true, true, true, true},
      {&f.Button4, &f, "Error Info...", 13, false, false, true, true, true, true},
      {&f.CheckBox2, &f, "Recursive comparing to sub folders", 13, false, false, true, true, true,
       true},
      {&f.CheckBox3, &f, "Ignore NoFile-Error in another folder to compare", 12, false, false,
       false, true, true, true},
      {&f.CheckBox1, &f, "Ignore Cases of filenames to compare", 13, false, false, true, true, true,
       true},
      {&Form2->Memo1, Form2, "No error.", 12, false, false, false, true, true, true},
      {&a.Image4, &a, nullptr, 13, false, false, true, false, true, false},
      {&a.Label1, &a, "File Compare Tool", 13, false, false, true, true, true, false},
      {&a.Label4, &a, nullptr, 13, false, true, true, true, true, false},
      {&a.Label5, &a, "for Windows9x / NT", 13, false, true, true, true, true, false},
      {&a.Image2, &a, nullptr, 13, false, false, true, false, true, false},
      {&a.Image3, &a, nullptr, 13, false, false, true, false, true, false},
      {&a.ImChr, &a, nullptr, 13, false, false, true, false, true, false},
      {&a.ImChrL, &a, nullptr, 13, false, false, true, false, true, false},
      {&a.ImChrR, &a, nullptr, 13, false, false, true, false, true, false},
      {&a.Label2, &a, "Vemo", 16, true, false, true, true, true, false},
      {&a.Label3, &a, "Version 1.3 L11", 13, false, false, true, true, true, false},
      {&a.Image1, &a, nullptr, 13, false, false, true, true, true, false},
      {&p.ImageWhite, &p, nullptr, 12, false, false, false, true, true, false},
      {&p.Label1, &p, "Now Comparing...", 13, false, false, true, true, true, false},
      {&p.Image2, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.Image3, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.Image4, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.Image5, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.Image6, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.Image7, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImFolder1, &p, nullptr, 12, false, false, false, true, true, false},
      {&p.ImFolder2, &p, nullptr, 12, false, false, false, true, true, false},
      {&p.ImFolder12, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImFolder13, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImFolder14, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImFolderOrg, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.Image1, &p, nullptr, 12, false, false, false, true, true, false},
      {&p.ImageOrg, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImChk1, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImChk2, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImJp1, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImJp2, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImBatsu, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImCheck, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImNaki1, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImNaki2, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImAse1, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImAse2, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImAse3, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.ImAse4, &p, nullptr, 12, false, false, false, false, true, false},
      {&p.GroupBox1, &p, "Entire Process", 16, true, false, true, true, true, false},
      {&p.ProgressBar2, &p.GroupBox1, nullptr, 16, true, false, true, true, true, false},
      {&p.Panel3, &p.GroupBox1, "", 16, true, false, true, true, true, false},
      {&p.GroupBox2, &p, "Files Now Comparing", 13, false, false, true, true, true, false},
      {&p.ProgressBar1, &p.GroupBox2, nullptr, 13, false, false, true, true, true, false},
      {&p.Panel1, &p.GroupBox2, "Comparing...", 12, false, false, true, true, true, false},
      {&p.Panel2, &p.GroupBox2, "", 13, false, false, true, true, true, false},
      {&p.Stop, &p, "Stop Comparing", 16, true, false, true, true, true, true},
      {&p.BitBtn2, &p, "Emergency Exit", 13, false, false, true, true, true, true},
      {&d.Message, &d, "Drag && Drop Support", 12, false, false, false, true, true, false},
      {&d.Button1, &d, "Folder 1 (&1)", 13, true, false, true, true, true, true},
      {&d.Button2, &d, "Folder2 (&2)", 13, true, false, true, true, true, true},
      {&d.Button3, &d, "Cancel", 12, false, false, false, true, true, true},
  };
}

// A control's rectangle in pixels against its layout table's figures at the form's DPI.
void ExpectPlaced(const RECT& r, const ControlRow& row, int dpi) {
  const ui::Layout& table = row.Table();
  EXPECT_NEAR(r.left, Scaled(table.left, dpi), 1.0);
  EXPECT_NEAR(r.top, Scaled(table.top, dpi), 1.0);
  EXPECT_NEAR(r.right - r.left, Scaled(table.width, dpi), 1.0);
  EXPECT_NEAR(r.bottom - r.top, Scaled(table.height, dpi), 1.0);
}

TEST(Layout, EveryControlFromTheTable) {
  EnsureForms();
  for (const ControlRow& row : Rows()) {
    ui::Control& c = *row.control;
    SCOPED_TRACE(c.Name());
    const int dpi = c.Dpi();
    EXPECT_EQ(c.Parent(), row.parent);
    EXPECT_EQ(c.Font().face, ui::kGothicFace);
    EXPECT_EQ(c.Font().height, row.fontHeight);
    EXPECT_EQ(c.Font().bold, row.bold);
    EXPECT_EQ(c.Font().italic, row.italic);
    EXPECT_EQ(c.Font().black, row.black);
    if (row.caption) {
      EXPECT_EQ(c.Caption(), row.caption);
    }
    if (auto* w = dynamic_cast<ui::WinControl*>(&c)) {
      RECT r = test::RectInParent(w->Handle());
      EXPECT_EQ(GetParent(w->Handle()), static_cast<ui::WinControl*>(row.parent)->Handle());
      if (&c == &Form2->Memo1) {
        RECT client;
        GetClientRect(Form2->Handle(), &client);
        EXPECT_TRUE(EqualRect(&r, &client));  // fills the client area
      } else {
        ExpectPlaced(r, row, dpi);
      }
      EXPECT_NEAR(-test::FontOf(w->Handle()).lfHeight, Scaled(row.fontHeight, dpi), 1.0);
      EXPECT_EQ((GetWindowLongW(w->Handle(), GWL_STYLE) & WS_VISIBLE) != 0, row.visible);
      EXPECT_EQ(IsWindowEnabled(w->Handle()) != FALSE, row.enabled);
      EXPECT_EQ(w->TabStop(), row.focus);
      if (row.focus) {
        EXPECT_EQ(w->TabOrder(), row.Table().tab);
      }
    } else {
      // Drawn controls keep the table's units; they are drawn at the form's DPI.
      const ui::Layout& table = row.Table();
      EXPECT_EQ(c.Left(), table.left);
      EXPECT_EQ(c.Top(), table.top);
      EXPECT_EQ(c.Width(), table.width);
      EXPECT_EQ(c.Height(), table.height);
      ExpectPlaced(c.PixelRect(), row, dpi);
      EXPECT_EQ(c.Visible(), row.visible);
      EXPECT_FALSE(row.focus);
    }
  }
}

TEST(Layout, InitialStates) {
  EnsureForms();
  TForm1& f = *Form1;
  EXPECT_TRUE(f.CheckBox2.Checked());
  EXPECT_FALSE(f.CheckBox3.Checked());
  EXPECT_FALSE(f.CheckBox1.Checked());
  EXPECT_EQ(SendMessageW(f.Edit1.Handle(), EM_GETLIMITTEXT, 0, 0), 255);
  EXPECT_EQ(SendMessageW(f.Edit2.Handle(), EM_GETLIMITTEXT, 0, 0), 255);
  EXPECT_EQ(f.DefaultButton(), &f.Button2);
  EXPECT_EQ(GetWindowLongW(f.Button2.Handle(), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  EXPECT_FALSE(f.Timer1.Enabled());
  EXPECT_EQ(f.Timer1.Interval(), 100u);
  EXPECT_NEAR(SendMessageW(f.DirectoryListBox1.Handle(), LB_GETITEMHEIGHT, 0, 0),
              Scaled(16, f.Dpi()), 1.0);

  // Windowed controls lie above one another in creation order: Button1 covers Button3.
  EXPECT_EQ(GetWindow(f.Button1.Handle(), GW_HWNDNEXT), f.GroupBox1.Handle());
  EXPECT_EQ(GetWindow(f.Button3.Handle(), GW_HWNDNEXT), f.GroupBox3.Handle());

  // The memo: both scroll bars, no border (read-only and without word wrap: memo_test.cpp).
  LONG memo = GetWindowLongW(Form2->Memo1.Handle(), GWL_STYLE);
  EXPECT_TRUE(memo & WS_HSCROLL);
  EXPECT_TRUE(memo & WS_VSCROLL);
  EXPECT_FALSE(memo & WS_BORDER);
  EXPECT_EQ(Form2->Memo1.Lines(), std::vector<std::string>{"No error."});

  TAbout& a = *About;
  EXPECT_FALSE(a.Timer1.Enabled());
  EXPECT_EQ(a.Timer1.Interval(), 1000u);
  EXPECT_EQ(a.ImChr.GetPicture(), a.ImChrL.GetPicture());
  EXPECT_NE(a.ImChrL.GetPicture(), a.ImChrR.GetPicture());
  EXPECT_EQ(a.Image1.GetPicture().ResourceId(), ART_APP_ICON);
  EXPECT_TRUE(a.Image1.GetPicture().IsIcon());
  // Stacking, back to front.
  std::vector<std::string> aboutOrder;
  for (ui::GraphicControl* g : a.Graphics()) aboutOrder.push_back(g->Name());
  EXPECT_EQ(aboutOrder,
            (std::vector<std::string>{"Image4", "Label1", "Label4", "Label5", "Image2", "Image3",
                                      "ImChr", "ImChrL", "ImChrR", "Label2", "Label3", "Image1"}));

  TPBar& p = *PBar;
  EXPECT_EQ(p.Image1.GetPicture(), p.Image4.GetPicture());  // the walker starts standing
  EXPECT_EQ(p.ImFolder1.GetPicture(), p.ImFolderOrg.GetPicture());
  EXPECT_TRUE(p.ImCheck.GetPicture().IsIcon());
  EXPECT_TRUE(p.ImBatsu.GetPicture().IsIcon());
  EXPECT_EQ(p.ImChk1.GetPicture(), p.ImCheck.GetPicture());
  EXPECT_EQ(p.Graphics().front(), &p.ImageWhite);
  EXPECT_EQ(p.Graphics()[1], &p.Label1);
  EXPECT_EQ(p.ProgressBar1.Max(), 100);
  EXPECT_EQ(p.ProgressBar2.Max(), 100);
  EXPECT_EQ(p.Panel3.TextAlignment(), ui::Alignment::Right);
  EXPECT_EQ(p.Panel1.TextAlignment(), ui::Alignment::Left);
  for (ui::Panel* panel : {&p.Panel1, &p.Panel2, &p.Panel3}) {
    EXPECT_EQ(panel->BorderWidth(), 4);
    EXPECT_TRUE(panel->RaisedBevel());
  }

  TDragDropMsg& d = *DragDropMsg;
  EXPECT_FALSE(d.Message.AutoSize());
  EXPECT_EQ(d.DefaultButton(), &d.Button1);
  EXPECT_EQ(d.Button1.ModalResult(), 6);
  EXPECT_EQ(d.Button2.ModalResult(), 7);
  EXPECT_EQ(d.Button3.ModalResult(), 2);
}

// A window moved to a monitor of another DPI is laid out again at that DPI, and back. (Runs
// after the other suites: it leaves the windows as they were, up to the one rounding.)
TEST(DpiChange, TheWindowIsLaidOutAgainAtTheNewDpi) {
  EnsureForms();
  const int start = PBar->Dpi();
  std::vector<ControlRow> rows;
  for (const ControlRow& row : Rows())
    if (row.control->OwnerForm() == PBar || row.control->OwnerForm() == Form2) rows.push_back(row);
  // DPIs whose windows still fit the virtual screen (Wine keeps a window within it).
  for (int dpi : {start == 96 ? 144 : 96, 120, start}) {
    SCOPED_TRACE(dpi);
    for (ui::Form* form : {static_cast<ui::Form*>(PBar), static_cast<ui::Form*>(Form2)}) {
      RECT now;
      GetWindowRect(form->Handle(), &now);
      // Where the system proposes the window: its size scaled by the change.
      RECT suggested{now.left, now.top, now.left + MulDiv(now.right - now.left, dpi, form->Dpi()),
                     now.top + MulDiv(now.bottom - now.top, dpi, form->Dpi())};
      SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
      EXPECT_EQ(form->Dpi(), dpi);
    }
    RECT client;
    GetClientRect(PBar->Handle(), &client);
    EXPECT_NEAR(client.right, Scaled(PBarLayout().frame.width, dpi), 1.0);
    EXPECT_NEAR(client.bottom, Scaled(PBarLayout().frame.height, dpi), 1.0);
    for (const ControlRow& row : rows) {
      SCOPED_TRACE(row.control->Name());
      if (auto* w = dynamic_cast<ui::WinControl*>(row.control)) {
        RECT r = test::RectInParent(w->Handle());
        if (w == &Form2->Memo1) {
          GetClientRect(Form2->Handle(), &client);
          EXPECT_TRUE(EqualRect(&r, &client));
        } else {
          ExpectPlaced(r, row, dpi);
        }
        EXPECT_NEAR(-test::FontOf(w->Handle()).lfHeight, Scaled(row.fontHeight, dpi), 1.0);
      } else {
        ExpectPlaced(row.control->PixelRect(), row, dpi);
      }
    }
  }
}

}  // namespace
}  // namespace vemo
