// The Error Information window's text box as the user works it: keys and the mouse select,
// the selection is copied as Unicode text, the bars, the wheel and the keys scroll within the
// text's range, nothing the user does changes the text, and a box shown on many lines shows the
// newest at once while it measures their widths a slice at a time.
#include <gtest/gtest.h>

#include "tests/support/settle.h"
#include "tests/ui/ui_test_support.h"

namespace vemo {
namespace {

using test::EnsureForms;
using ui::TextPlace;

struct Stroke {
  WORD key;
  bool shift = false, ctrl = false;
};

class TextBox : public ::testing::Test {
 protected:
  void SetUp() override {
    Form2->Show();
    test::Settle();
  }
  void TearDown() override {
    Hold(false, false);
    Form2->Close();
    memo.SetLines({"No error."});
  }

  // The modifier keys as the box reads them (GetKeyState) while it handles a key.
  static void Hold(bool shift, bool ctrl) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  void Press(const Stroke& stroke) {
    Hold(stroke.shift, stroke.ctrl);
    SendMessageW(memo.Handle(), WM_KEYDOWN, stroke.key, 1);
    Hold(false, false);
  }
  int LineHeight() const {
    TEXTMETRICW metrics{};
    HDC dc = GetDC(memo.Handle());
    HGDIOBJ old = SelectObject(dc, memo.DrawnFont());
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(memo.Handle(), dc);
    return metrics.tmHeight;
  }
  int Width(const std::wstring& text) const { return ui::TextWidth(memo.DrawnFont(), text); }
  // The client point at the boundary before a column of a line in view, half a line down.
  LPARAM At(size_t line, size_t column) const {
    const std::wstring text = ToWide(memo.Line(line)).substr(0, column);
    const int x = 1 + Width(text) - memo.LeftOffset();  // after the box's margin
    const int y = int(line - memo.TopLine()) * LineHeight() + LineHeight() / 2;
    return MAKELPARAM(x, y);
  }
  std::wstring Clipboard() const {
    std::wstring text;
    if (!OpenClipboard(memo.Handle())) return L"(the clipboard cannot be opened)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }
  SCROLLINFO Bar(int bar) const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(memo.Handle(), bar, &info);
    return info;
  }

  static ui::Memo& Box() {
    EnsureForms();
    return Form2->Memo1;
  }
  ui::Memo& memo = Box();
};

TEST_F(TextBox, KeysMoveTheCaretAndShiftExtendsTheSelection) {
  memo.SetLines({"alpha beta", "gamma", "", "delta epsilon"});
  const std::string all = "alpha beta\r\ngamma\r\n\r\ndelta epsilon";
  struct Case {
    const char* what;
    std::vector<Stroke> keys;
    TextPlace anchor, caret;
    std::string selected;
  };
  const std::vector<Case> cases = {
      {"Right moves a character", {{VK_RIGHT}, {VK_RIGHT}}, {0, 2}, {0, 2}, ""},
      {"Shift+Right selects", {{VK_RIGHT, true}, {VK_RIGHT, true}}, {0, 0}, {0, 2}, "al"},
      {"Ctrl+Right goes to the next word", {{VK_RIGHT, false, true}}, {0, 6}, {0, 6}, ""},
      {"Ctrl+Left goes back a word",
       {{VK_END}, {VK_LEFT, false, true}, {VK_LEFT, false, true}},
       {0, 0},
       {0, 0},
       ""},
      {"Right at a line's end goes on to the next", {{VK_END}, {VK_RIGHT}}, {1, 0}, {1, 0}, ""},
      {"Left at a line's start goes back", {{VK_DOWN}, {VK_LEFT}}, {0, 10}, {0, 10}, ""},
      {"Shift+Down takes the line break", {{VK_DOWN, true}}, {0, 0}, {1, 0}, "alpha beta\r\n"},
      {"Shift+End selects to the line's end", {{VK_END, true}}, {0, 0}, {0, 10}, "alpha beta"},
      {"Ctrl+Shift+End selects to the text's end", {{VK_END, true, true}}, {0, 0}, {3, 13}, all},
      {"Ctrl+A selects everything", {{VK_DOWN}, {'A', false, true}}, {0, 0}, {3, 13}, all},
      {"Ctrl+Home goes back to the start",
       {{VK_END, false, true}, {VK_HOME, false, true}},
       {0, 0},
       {0, 0},
       ""},
      {"Down keeps its column over an empty line",
       {{VK_RIGHT}, {VK_DOWN}, {VK_DOWN}, {VK_DOWN}},
       {3, 1},
       {3, 1},
       ""},
      {"Up at the first line stays", {{VK_UP}}, {0, 0}, {0, 0}, ""},
      {"a key without Shift ends the selection", {{VK_END, true}, {VK_LEFT}}, {0, 9}, {0, 9}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    memo.Select(TextPlace{}, TextPlace{});
    for (const Stroke& stroke : c.keys) Press(stroke);
    EXPECT_EQ(memo.Anchor(), c.anchor);
    EXPECT_EQ(memo.Caret(), c.caret);
    EXPECT_EQ(memo.SelectedText(), c.selected);
  }
}

TEST_F(TextBox, TheMouseSelectsAndTakesTheFocus) {
  memo.SetLines({"alpha beta", "gamma", "delta epsilon"});
  SetFocus(Form2->Handle());
  const HWND box = memo.Handle();
  SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, At(0, 1));
  SendMessageW(box, WM_LBUTTONUP, 0, At(0, 1));
  EXPECT_EQ(GetFocus(), box);
  EXPECT_EQ(memo.Caret(), (TextPlace{0, 1}));
  EXPECT_EQ(memo.SelectedText(), "");

  SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, At(0, 1));
  SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, At(1, 2));
  SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, At(2, 3));
  SendMessageW(box, WM_LBUTTONUP, 0, At(2, 3));
  EXPECT_EQ(memo.SelectedText(), "lpha beta\r\ngamma\r\ndel") << "a drag";
  SendMessageW(box, WM_MOUSEMOVE, 0, At(2, 5));
  EXPECT_EQ(memo.Caret(), (TextPlace{2, 3})) << "the button is up: no more selecting";

  SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(1, 2));
  SendMessageW(box, WM_LBUTTONUP, MK_SHIFT, At(1, 2));
  EXPECT_EQ(memo.SelectedText(), "lpha beta\r\nga") << "Shift+click";

  SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, At(2, 8));
  SendMessageW(box, WM_LBUTTONUP, 0, At(2, 8));
  EXPECT_EQ(memo.SelectedText(), "epsilon") << "a double click";
}

TEST_F(TextBox, CopiesTheSelectionAsUnicodeText) {
  memo.SetLines({u8"ファイル \U0001F600 end", "second"});
  for (int i = 0; i < 6; ++i) Press({VK_RIGHT, true});  // the pair of surrogates is one step
  EXPECT_EQ(memo.Caret(), (TextPlace{0, 7}));
  const std::wstring first = ToWide(u8"ファイル \U0001F600");
  const struct {
    const char* what;
    std::function<void()> copy;
  } ways[] = {
      {"Ctrl+C",
       [&] {
         Press({'C', false, true});
       }},
      {"Ctrl+Insert",
       [&] {
         Press({VK_INSERT, false, true});
       }},
      {"WM_COPY", [&] { SendMessageW(memo.Handle(), WM_COPY, 0, 0); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.what);
    OpenClipboard(memo.Handle());
    EmptyClipboard();
    CloseClipboard();
    way.copy();
    EXPECT_EQ(Clipboard(), first);
  }
  Press({VK_END, true, true});
  Press({'C', false, true});
  EXPECT_EQ(Clipboard(), first + L" end\r\nsecond");
}

TEST_F(TextBox, NothingTheUserDoesChangesTheText) {
  memo.SetLines({"one", "two"});
  Press({'A', false, true});
  const HWND box = memo.Handle();
  SendMessageW(box, WM_CHAR, 'x', 0);
  SendMessageW(box, WM_CHAR, VK_BACK, 0);
  Press({VK_DELETE});
  Press({'X', false, true});
  Press({'V', false, true});
  for (UINT msg : {WM_CUT, WM_PASTE, WM_CLEAR, WM_UNDO}) SendMessageW(box, msg, 0, 0);
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(TextBox, BarsWheelAndKeysScrollWithinTheText) {
  std::vector<std::string> lines;
  for (int i = 0; i < 100000; ++i) lines.push_back("line " + std::to_string(i));
  memo.SetLines(lines);
  const HWND box = memo.Handle();
  const size_t page = memo.PageLines(), last = lines.size() - page;
  EXPECT_EQ(Bar(SB_VERT).nMax, 99999);
  EXPECT_EQ(Bar(SB_VERT).nPage, page);
  UINT wheelLines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &wheelLines, 0);
  const struct {
    const char* what;
    std::function<void()> act;
    size_t top;
  } steps[] = {
      {"to the bottom", [&] { SendMessageW(box, WM_VSCROLL, SB_BOTTOM, 0); }, last},
      {"a line up", [&] { SendMessageW(box, WM_VSCROLL, SB_LINEUP, 0); }, last - 1},
      {"a page up", [&] { SendMessageW(box, WM_VSCROLL, SB_PAGEUP, 0); }, last - page},
      {"the wheel up", [&] { SendMessageW(box, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0); },
       last - page - wheelLines},
      {"no further than the end",
       [&] {
         SendMessageW(box, WM_VSCROLL, SB_PAGEDOWN, 0);
         SendMessageW(box, WM_VSCROLL, SB_PAGEDOWN, 0);
       },
       last},
      {"Ctrl+Home",
       [&] {
         Press({VK_HOME, false, true});
       },
       0},
      {"no further than the start", [&] { SendMessageW(box, WM_VSCROLL, SB_LINEUP, 0); }, 0},
      {"Page Down", [&] { Press({VK_NEXT}); }, page - 1},
      {"Ctrl+End",
       [&] {
         Press({VK_END, false, true});
       },
       last},
      {"a line appended: the newest in view",
       [&] {
         SendMessageW(box, WM_VSCROLL, SB_TOP, 0);
         memo.AppendLine("newest");
       },
       last + 1},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_EQ(memo.TopLine(), step.top) << step.what;
    EXPECT_EQ(size_t(Bar(SB_VERT).nPos), memo.TopLine()) << step.what;
  }
  EXPECT_EQ(memo.Caret(), (TextPlace{lines.size(), 0})) << "the caret at the newest line";
  EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), LRESULT(lines.size() + 1));
}

// No word wrap: a line longer than the window stays one line and its end is reached with the
// horizontal bar (its range is the widest line's width), the End key and back with Home.
TEST_F(TextBox, ALongLineIsReachedSideways) {
  const std::string longLine = std::string(2000, 'x') + u8" ファイル end";
  memo.SetLines({"short", longLine, "short again"});
  test::PumpUntil([&] { return !memo.Measuring(); }, "the widths measured");
  const int width = Width(ToWide(longLine));
  EXPECT_NEAR(memo.WidestLine(), width, 2);
  EXPECT_EQ(Bar(SB_HORZ).nMax + 1, memo.WidestLine() + 2);  // and a margin each side
  EXPECT_EQ(SendMessageW(memo.Handle(), EM_GETLINECOUNT, 0, 0), 3);

  RECT client;
  GetClientRect(memo.Handle(), &client);
  SendMessageW(memo.Handle(), WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_EQ(memo.LeftOffset(), memo.WidestLine() + 2 - client.right);
  SendMessageW(memo.Handle(), WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(memo.LeftOffset(), 0);
  memo.Select(TextPlace{1, 0}, TextPlace{1, 0});
  Press({VK_END});
  EXPECT_GT(memo.LeftOffset(), width - client.right) << "the line's end in view";
  Press({VK_HOME});
  EXPECT_EQ(memo.LeftOffset(), 0);
}

// A run's lines come while the window is hidden: nothing is measured then. Shown, the box draws
// the newest lines at once, and measures the widths after the user's messages, a slice at a
// time: after one turn of the later lane it is measuring still, and it ends with the widest.
TEST_F(TextBox, ManyLinesShowAtOnceAndAreMeasuredASliceAtATime) {
  Form2->Close();
  memo.Clear();
  TextLines batch;
  for (int i = 0; i < 300000; ++i) {
    batch.Append("C:\\Folder 1\\sub\\file" + std::to_string(i) + ".txt");
    if (batch.Count() == 10000) {
      memo.AppendLines(batch);
      batch.Clear();
    }
  }
  test::Settle();
  EXPECT_TRUE(memo.Measuring()) << "measured while hidden";
  Form2->Show();
  UpdateWindow(memo.Handle());
  EXPECT_EQ(memo.TopLine(), 300000 - memo.PageLines()) << "the newest lines in view";
  test::Settle();
  EXPECT_GT(memo.MeasuredLines(), 0u) << "no slice yet";
  EXPECT_TRUE(memo.Measuring()) << "all the widths in one go";
  test::PumpUntil([&] { return !memo.Measuring(); }, "the widths measured");
  EXPECT_NEAR(memo.WidestLine(), Width(L"C:\\Folder 1\\sub\\file299999.txt"), 2);
  EXPECT_EQ(memo.LineCount(), 300000u);
}

TEST_F(TextBox, AssistiveTechnologyReadsTheCaretsLine) {
  memo.SetLines({"first", "second"});
  memo.Select(TextPlace{1, 2}, TextPlace{1, 2});
  EXPECT_EQ(memo.AccessibleValue(), "second");
  EXPECT_EQ(memo.AccessibleName(), "Error Information");
}

}  // namespace
}  // namespace vemo
