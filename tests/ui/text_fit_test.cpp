// Every caption and every figure a panel can show fits the width the layout gives it, measured
// with GetTextExtentPoint32 in the font actually drawn, at the DPI of the Wine prefix the test
// runs in (CTest runs it at 96, 120, 144 and 192). A figure that outgrows its panel all the
// same keeps its leading digits.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/toolkit/font.h"

namespace vemo {
namespace {

using test::EnsureForms;

HFONT WindowFont(const ui::WinControl& c) {
  return reinterpret_cast<HFONT>(SendMessageW(c.Handle(), WM_GETFONT, 0, 0));
}

std::wstring FaceOf(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  DeleteDC(dc);
  return face;
}

// What a font puts on the screen for a character, as the pixels of a small picture.
std::vector<COLORREF> Drawn(HFONT font, wchar_t c) {
  const int size = 48;
  return test::DrawnPixels(
      size, size,
      [&](HDC dc) {
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        RECT all{0, 0, size, size};
        DrawTextW(dc, &c, 1, &all, DT_SINGLELINE | DT_NOPREFIX);
      },
      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

// One stroke per row, each row's ink starting no further left than the row above, from the top
// left to the bottom right: a backslash, and not the yen sign's arms, bars and stem.
bool LooksLikeABackslash(const std::vector<COLORREF>& pixels) {
  const int size = 48;
  int previous = -1, top = -1, rows = 0;
  for (int y = 0; y < size; ++y) {
    int runs = 0, first = -1;
    bool inside = false;
    for (int x = 0; x < size; ++x) {
      bool ink = pixels[y * size + x] != RGB(255, 255, 255);
      if (ink && !inside && ++runs && first < 0) first = x;
      inside = ink;
    }
    if (!runs) continue;
    if (runs != 1 || first < previous) return false;
    if (top < 0) top = first;
    previous = first;
    ++rows;
  }
  return rows >= 8 && previous > top;
}

TEST(Fonts, TheDrawnFaceWritesJapaneseAndPathsKeepTheirBackslash) {
  EnsureForms();
  const std::string face = ui::DrawnFace(ui::kGothicFace);
  std::cout << "drawn face: " << face << ", for paths: " << ui::DrawnFace(ui::kGothicFace, true)
            << " (at " << Form1->Dpi() << " DPI)\n";
  std::vector<std::string> chain = ui::FaceChain(ui::kGothicFace);
  EXPECT_EQ(chain.front(), ui::kGothicFace);  // the layouts' face is asked for first
  EXPECT_NE(std::find(chain.begin(), chain.end(), face), chain.end());
  // The fonts handed to the windows are those faces, and they have the kana of Japanese names.
  EXPECT_EQ(vemo::ToUtf8(FaceOf(WindowFont(Form1->CheckBox2))), face);
  EXPECT_EQ(vemo::ToUtf8(FaceOf(WindowFont(Form1->Edit1))), ui::DrawnFace(ui::kGothicFace, true));
  for (HFONT font : {WindowFont(Form1->CheckBox2), WindowFont(Form1->Edit1)}) {
    const std::wstring kana = L"フォルダ";
    WORD glyphs[4];
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    ASSERT_EQ(GetGlyphIndicesW(dc, kana.c_str(), 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 4u);
    SelectObject(dc, old);
    DeleteDC(dc);
    for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF);
  }
  // "\" in a path is a backslash, not the yen sign.
  for (HFONT pathFont : {WindowFont(Form1->Edit1), WindowFont(Form2->Memo1),
                         WindowFont(Form1->DirectoryListBox1), PBar->Panel1.FontFor("C:\\a")}) {
    EXPECT_TRUE(LooksLikeABackslash(Drawn(pathFont, L'\\')));
  }
}

// Windowed controls: the caption beside the check box, inside a button's edge, in a group
// box's top edge between its insets.
TEST(TextFit, CaptionsOfCheckBoxesButtonsAndGroupBoxes) {
  EnsureForms();
  struct Row {
    ui::WinControl* control;
    int reserved;  // layout units the control keeps for itself
  };
  TForm1& f = *Form1;
  TPBar& p = *PBar;
  TDragDropMsg& d = *DragDropMsg;
  const int box = 13 + 4;  // check box and the gap before its caption
  const int edge = 6;      // a button's edges and focus rectangle
  const int inset = 16;    // a group box's caption insets
  const Row rows[] = {
      {&f.CheckBox2, box},   {&f.CheckBox3, box},   {&f.CheckBox1, box}, {&f.Button1, edge},
      {&f.Button2, edge},    {&f.Button3, edge},    {&f.Button4, edge},  {&f.GroupBox1, inset},
      {&f.GroupBox2, inset}, {&f.GroupBox3, inset}, {&p.Stop, edge},     {&p.BitBtn2, edge},
      {&p.GroupBox1, inset}, {&p.GroupBox2, inset}, {&d.Button1, edge},  {&d.Button2, edge},
      {&d.Button3, edge},
  };
  for (const Row& row : rows) {
    ui::WinControl& c = *row.control;
    SCOPED_TRACE(c.Name());
    const int dpi = c.Dpi();
    const int room = ui::ScaleToDpi(c.Width(), dpi) - ui::ScaleToDpi(row.reserved, dpi);
    EXPECT_LE(ui::TextWidth(WindowFont(c), ui::ShownText(c.Caption())), room);
    // Still the face and height of the layout (at most narrowed).
    LOGFONTW lf = test::FontOf(c.Handle());
    EXPECT_EQ(-lf.lfHeight, ui::ScaleToDpi(c.Font().height, dpi));
  }
}

TEST(TextFit, LabelCaptions) {
  EnsureForms();
  TAbout& a = *About;
  // The drop question as a drop shows it, besides the label's design text.
  std::vector<std::pair<ui::Label*, std::string>> labels = {
      {&PBar->Label1, PBar->Label1.Caption()},
      {&a.Label1, a.Label1.Caption()},
      {&a.Label2, a.Label2.Caption()},
      {&a.Label3, a.Label3.Caption()},
      {&a.Label4, a.Label4.Caption()},
      {&a.Label5, a.Label5.Caption()},
      {&DragDropMsg->Message, DragDropMsg->Message.Caption()},
      {&DragDropMsg->Message, "Which folder (1 or 2) do you want droped folder set?"},
  };
  for (auto& [label, text] : labels) {
    SCOPED_TRACE(label->Name() + ": " + text);
    std::string before = label->Caption();
    label->SetCaption(text);
    EXPECT_LE(ui::TextWidth(label->DrawnFont(), ui::ShownText(text)),
              ui::ScaleToDpi(label->Width(), label->Dpi()));
    label->SetCaption(before);
  }
}

// Inside the bevel (one pixel) on each side; the inner border is padding that a long figure
// may use.
int PanelRoom(const ui::Panel& panel) { return ui::ScaleToDpi(panel.Width(), panel.Dpi()) - 2; }

TEST(TextFit, EveryFigureAPanelCanShow) {
  EnsureForms();
  TPBar& p = *PBar;
  struct Row {
    ui::Panel* panel;
    std::vector<std::string> texts;
  };
  const Row rows[] = {
      // The whole run: counters in KB below 10 MiB, in MB from there up to 97 GiB.
      {&p.Panel3,
       {"Calculating", "Completed.", "Compare stopped.", "    0/    0KB", "10239/10239KB",
        "99999/99999KB", " 9999/99999MB", "99999/99999MB", "88888/88888MB", "44444/44444MB"}},
      // The current file, in KB below 10 MiB and in MB up to 97 GiB.
      {&p.Panel2, {"0KB /0KB", "10239/10239KB", "99999/99999KB", "99999/99999MB", "88888/88888MB"}},
      // The status line: the summaries of a run with large counts.
      {&p.Panel1,
       {"Calculating total of file size...", "Compare stopped.", "Comparing...",
        "No difference found.   (compared files:999999 999999MB)",
        "99999 error(s) found.  (compared files:999999 999999MB)"}},
  };
  for (const Row& row : rows) {
    for (const std::string& text : row.texts) {
      SCOPED_TRACE(row.panel->Name() + ": " + text);
      EXPECT_LE(ui::TextWidth(row.panel->FontFor(text), ToWide(text)), PanelRoom(*row.panel))
          << text;
    }
  }
}

// The panel's picture, as WM_PRINTCLIENT draws it.
std::vector<COLORREF> Picture(HWND hwnd, int& width, int& height) {
  RECT client;
  GetClientRect(hwnd, &client);
  width = client.right;
  height = client.bottom;
  return test::DrawnPixels(width, height, [&](HDC dc) {
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
}

TEST(TextFit, AFigureTooLongForItsPanelKeepsItsLeadingDigits) {
  EnsureForms();
  ui::Panel& panel = PBar->Panel3;  // right-aligned
  const std::string before = panel.Caption();
  // Beyond 97 GiB the figures have more digits than the panel was laid out for.
  const std::string figure = "1234567/9876543MB";
  panel.SetCaption(figure);
  HFONT font = panel.FontFor(figure);
  ASSERT_GT(ui::TextWidth(font, ToWide(figure)), PanelRoom(panel));
  int width = 0, height = 0;
  std::vector<COLORREF> shown = Picture(panel.Handle(), width, height);
  panel.SetCaption(before);

  // The leading digits alone, drawn in the same font from where the room starts.
  const int start = panel.Inset(figure);
  EXPECT_GE(start, 1);
  std::vector<COLORREF> digits = test::DrawnPixels(width, height, [&](HDC dc) {
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui::TextColor(panel.Font()));
    RECT room{start, 1, width - start, height - 1};
    DrawTextW(dc, L"1234567", 7, &room, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  });
  const int digitsEnd = start + ui::TextWidth(font, L"1234567");
  int differing = 0;
  for (int y = 1; y + 1 < height; ++y)
    for (int x = start; x < digitsEnd && x < width; ++x)
      if (shown[y * width + x] != digits[y * width + x]) ++differing;
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace vemo
