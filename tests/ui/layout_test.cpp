// The five windows as created at start-up: references, captions, frames, client sizes, and
// every control's place, size, caption, font and initial state, checked from one table. The
// table is in layout units; the windows show it at the DPI of the Wine prefix the test runs in
// (CTest runs it at 96, 120, 144 and 192), each figure within one pixel of table x DPI / 96.
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "assets/art_ids.h"
#include "tests/ui/ui_test_support.h"

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

struct FormRow {
  ui::Form* form;
  const char* caption;
  int width, height;  // client size; Form2: outer size
  bool sizeable, systemMenu, minimize, maximize;
  int fontHeight;
};

TEST(Layout, CaptionsFramesAndSizes) {
  EnsureForms();
  const FormRow rows[] = {
      {Form1, "Vemo", 632, 434, false, true, true, false, 12},
      {Form2, "Vemo Error Information", 400, 300, true, true, true, true, 12},
      {About, "About Vemo", 232, 121, false, true, false, false, 13},
      {PBar, "Vemo -  Comparing...", 427, 259, false, false, false, false, 12},
      {DragDropMsg, "Vemo", 312, 101, false, false, false, false, 12},
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
    RECT r;
    if (row.form == Form2) {
      GetWindowRect(hwnd, &r);
      EXPECT_NEAR(r.right - r.left, Scaled(row.width, dpi), 1.0);
      EXPECT_NEAR(r.bottom - r.top, Scaled(row.height, dpi), 1.0);
    } else {
      GetClientRect(hwnd, &r);
      EXPECT_NEAR(r.right, Scaled(row.width, dpi), 1.0);
      EXPECT_NEAR(r.bottom, Scaled(row.height, dpi), 1.0);
    }
  }
  // The About box has a dialog frame; the main window has the program's icon and its menu.
  EXPECT_TRUE(GetWindowLongW(About->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetMenu(Form1->Handle()), Form1->MainMenu1.Handle());
  EXPECT_EQ(About->Font().black, true);
}

// One row per control: where it is, what it says, its font and its state at start.
struct ControlRow {
  ui::Control* control;
  ui::Control* parent;  // the form, or the group box it lies in
  int left, top, width, height;
  const char* caption;
  int fontHeight;
  bool bold, italic, black;
  bool visible, enabled;
  int tab;  // -1: takes no focus
};

std::vector<ControlRow> Rows() {
  TForm1& f = *Form1;
  TAbout& a = *About;
  TPBar& p = *PBar;
  TDragDropMsg& d = *DragDropMsg;
  return {
      {&f.GroupBox3, &f, 8, 352, 305, 73, "Options", 12, true, false, true, true, true, -1},
      {&f.Button3, &f, 536, 400, 89, 26, u8"比較停止", 12, false, false, true, true, false, 11},
      {&f.GroupBox2, &f, 320, 8, 305, 337, "Folder 2", 16, true, false, true, true, true, -1},
      {&f.GroupBox1, &f, 8, 8, 305, 337, "Folder 1", 16, true, false, true, true, true, -1},
      {&f.Button1, &f, 320, 400, 305, 26, "Exit", 16, true, false, true, true, true, 12},
      {&f.DirectoryListBox1, &f, 16, 64, 289, 249, nullptr, 12, false, false, false, true, true, 1},
      {&f.DriveComboBox1, &f, 16, 320, 289, 18, nullptr, 12, false, false, false, true, true, 2},
      {&f.DirectoryListBox2, &f, 328, 64, 289, 249, nullptr, 12, false, false, false, true, true,
       4},
      {&f.DriveComboBox2, &f, 328, 320, 289, 18, nullptr, 12, false, false, false, true, true, 5},
      {&f.Button2, &f, 320, 352, 209, 44, "Start", 16, true, false, true, true, true, 9},
      {&f.Edit1, &f, 16, 32, 289, 20, "Folder 1", 12, false, false, true, true, true, 0},
      {&f.Edit2, &f, 328, 32, 289, 20, "Folder 2", 12, false, false, true, true, true, 3},
      {&f.Button4, &f, 536, 352, 89, 41, "Error Info...", 13, false, false, true, true, true, 10},
      {&f.CheckBox2, &f, 16, 368, 289, 17, "Recursive comparing to sub folders", 13, false, false,
       true, true, true, 6},
      {&f.CheckBox3, &f, 16, 384, 289, 17, "Ignore NoFile-Error in another folder to compare", 12,
       false, false, false, true, true, 7},
      {&f.CheckBox1, &f, 16, 400, 289, 17, "Ignore Cases of filenames to compare", 13, false, false,
       true, true, true, 8},

      {&Form2->Memo1, Form2, 0, 0, 0, 0, "No error.", 12, false, false, false, true, true, 0},

      {&a.Image4, &a, 8, 56, 49, 33, nullptr, 13, false, false, true, false, true, -1},
      {&a.Label1, &a, 69, 8, 103, 13, "File Compare Tool", 13, false, false, true, true, true, -1},
      {&a.Label4, &a, 8, 104, 241, 13, nullptr, 13, false, true, true, true, true, -1},
      {&a.Label5, &a, 104, 24, 129, 13, "for Windows9x / NT", 13, false, true, true, true, true,
       -1},
      {&a.Image2, &a, 72, 56, 33, 33, nullptr, 13, false, false, true, false, true, -1},
      {&a.Image3, &a, 16, 56, 33, 33, nullptr, 13, false, false, true, false, true, -1},
      {&a.ImChr, &a, 40, 56, 33, 33, nullptr, 13, false, false, true, false, true, -1},
      {&a.ImChrL, &a, 16, 120, 33, 33, nullptr, 13, false, false, true, false, true, -1},
      {&a.ImChrR, &a, 56, 120, 33, 33, nullptr, 13, false, false, true, false, true, -1},
      {&a.Label2, &a, 96, 56, 45, 16, "Vemo", 16, true, false, true, true, true, -1},
      {&a.Label3, &a, 88, 80, 89, 13, "Version 1.3 L11", 13, false, false, true, true, true, -1},
      {&a.Image1, &a, 24, 48, 33, 33, nullptr, 13, false, false, true, true, true, -1},

      {&p.ImageWhite, &p, 120, 8, 297, 33, nullptr, 12, false, false, false, true, true, -1},
      {&p.Label1, &p, 16, 16, 95, 13, "Now Comparing...", 13, false, false, true, true, true, -1},
      {&p.Image2, &p, 8, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.Image3, &p, 40, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.Image4, &p, 72, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.Image5, &p, 104, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.Image6, &p, 136, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.Image7, &p, 168, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImFolder1, &p, 128, 8, 57, 33, nullptr, 12, false, false, false, true, true, -1},
      {&p.ImFolder2, &p, 384, 8, 33, 33, nullptr, 12, false, false, false, true, true, -1},
      {&p.ImFolder12, &p, 200, 120, 65, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImFolder13, &p, 264, 120, 57, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImFolder14, &p, 320, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImFolderOrg, &p, 352, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.Image1, &p, 352, 8, 33, 33, nullptr, 12, false, false, false, true, true, -1},
      {&p.ImageOrg, &p, 384, 120, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImChk1, &p, 376, 8, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImChk2, &p, 312, 8, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImJp1, &p, 8, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImJp2, &p, 40, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImBatsu, &p, 72, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImCheck, &p, 104, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImNaki1, &p, 136, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImNaki2, &p, 168, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImAse1, &p, 200, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImAse2, &p, 232, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImAse3, &p, 264, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.ImAse4, &p, 296, 216, 33, 33, nullptr, 12, false, false, false, false, true, -1},
      {&p.GroupBox1, &p, 8, 40, 409, 81, "Entire Process", 16, true, false, true, true, true, -1},
      {&p.ProgressBar2, &p.GroupBox1, 8, 48, 393, 25, nullptr, 16, true, false, true, true, true,
       -1},
      {&p.Panel3, &p.GroupBox1, 272, 16, 129, 25, "", 16, true, false, true, true, true, -1},
      {&p.GroupBox2, &p, 8, 128, 409, 89, "Files Now Comparing", 13, false, false, true, true, true,
       -1},
      {&p.ProgressBar1, &p.GroupBox2, 8, 40, 393, 17, nullptr, 13, false, false, true, true, true,
       -1},
      {&p.Panel1, &p.GroupBox2, 8, 64, 393, 17, "Comparing...", 12, false, false, true, true, true,
       -1},
      {&p.Panel2, &p.GroupBox2, 272, 16, 129, 17, "", 13, false, false, true, true, true, -1},
      {&p.Stop, &p, 8, 224, 297, 33, "Stop Comparing", 16, true, false, true, true, true, 1},
      {&p.BitBtn2, &p, 312, 224, 105, 33, "Emergency Exit", 13, false, false, true, true, true, 2},

      {&d.Message, &d, 8, 8, 289, 33, "Drag && Drop Support", 12, false, false, false, true, true,
       -1},
      {&d.Button1, &d, 8, 56, 105, 33, "Folder 1 (&1)", 13, true, false, true, true, true, 0},
      {&d.Button2, &d, 120, 56, 105, 33, "Folder2 (&2)", 13, true, false, true, true, true, 1},
      {&d.Button3, &d, 232, 56, 73, 33, "Cancel", 12, false, false, false, true, true, 2},
  };
}

// A control's rectangle in pixels against the table's figures at the form's DPI.
void ExpectPlaced(const RECT& r, const ControlRow& row, int dpi) {
  EXPECT_NEAR(r.left, Scaled(row.left, dpi), 1.0);
  EXPECT_NEAR(r.top, Scaled(row.top, dpi), 1.0);
  EXPECT_NEAR(r.right - r.left, Scaled(row.width, dpi), 1.0);
  EXPECT_NEAR(r.bottom - r.top, Scaled(row.height, dpi), 1.0);
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
      EXPECT_EQ(w->TabStop() ? w->TabOrder() : -1, row.tab);
    } else {
      // Drawn controls keep the table's units; they are drawn at the form's DPI.
      EXPECT_EQ(c.Left(), row.left);
      EXPECT_EQ(c.Top(), row.top);
      EXPECT_EQ(c.Width(), row.width);
      EXPECT_EQ(c.Height(), row.height);
      ExpectPlaced(c.PixelRect(), row, dpi);
      EXPECT_EQ(c.Visible(), row.visible);
      EXPECT_EQ(row.tab, -1);
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
    EXPECT_NEAR(client.right, Scaled(427, dpi), 1.0);
    EXPECT_NEAR(client.bottom, Scaled(259, dpi), 1.0);
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
