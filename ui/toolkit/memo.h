// A read-only text box of any number of lines, with both scroll bars and no word wrap: every
// line stays one line however long it is. It draws only the lines in view, straight from the
// one store that holds them (base/text_lines.h), so appending costs the same for the millionth line
// as for the first, and a box opened on a million lines shows them at once. The widths of the
// lines (the horizontal scroll range) are measured a slice at a time while the box is shown.
//
// As in an edit box: the mouse selects (click, drag, Shift+click, double click for a word), as
// do the keys (arrows, Home, End, Page Up/Down; Ctrl moves by words and to the text's ends;
// Shift extends; Ctrl+A selects all); Ctrl+C, Ctrl+Insert and the context menu copy; the scroll
// bars and the wheel scroll. Appending lines puts the caret at the start of the newest line, in
// view. For other programs it answers EM_GETLINECOUNT, EM_GETFIRSTVISIBLELINE and WM_COPY.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_lines.h"
#include "custom_control.h"

namespace vemo::ui {

// A place in the text: a line, and a column in that line's UTF-16 units (what Windows draws).
struct TextPlace {
  size_t line = 0;
  size_t column = 0;
  bool operator==(const TextPlace& o) const { return line == o.line && column == o.column; }
  bool operator!=(const TextPlace& o) const { return !(*this == o); }
  bool operator<(const TextPlace& o) const {
    return line != o.line ? line < o.line : column < o.column;
  }
};

class Memo : public CustomControl {
 public:
  Memo() = default;
  ~Memo() override;
  void Create(WinControl& parent, const Layout& layout);
  bool TabStop() const override { return true; }

  void AppendLine(std::string_view line);
  void AppendLines(const TextLines& lines);
  void Clear();
  void SetLines(const std::vector<std::string>& lines);
  std::vector<std::string> Lines() const;  // a copy
  size_t LineCount() const { return lines_.Count(); }
  std::string_view Line(size_t index) const { return lines_[index]; }

  // The whole text, the lines joined by "\r\n".
  std::string Caption() const override;
  // Read as a read-only text box: its label, and as its value the line of the caret.
  long AccessibleRole() const override { return ROLE_SYSTEM_TEXT; }
  std::string AccessibleName() const override { return accessibleLabel_; }
  std::string AccessibleValue() const override;

  // The selection runs from the anchor to the caret (the end that moves).
  TextPlace Anchor() const { return anchor_; }
  TextPlace Caret() const { return caret_; }
  void Select(TextPlace anchor, TextPlace caret);
  void SelectAll();
  std::string SelectedText() const;  // the lines joined by "\r\n"
  void CopySelection() const;        // to the clipboard, as Unicode text

  // The view: the first line shown, how far it is scrolled to the right (pixels), how many
  // lines fit, and the widest line so far measured (the first MeasuredLines(), and the caret's).
  size_t TopLine() const { return top_; }
  int LeftOffset() const { return left_; }
  size_t PageLines() const;
  int WidestLine() const { return widest_; }
  size_t MeasuredLines() const { return measured_; }
  bool Measuring() const { return measured_ < lines_.Count(); }

 protected:
  void PaintWindow(HDC dc, const RECT& client) override;
  bool HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  // memo.cpp: the lines, the view, the measuring.
  void Changed();  // after lines came or went: scroll bars, paint, caret, measuring
  void FontChanged();
  void UpdateScrollBars();
  size_t MaxTop() const;
  int MaxLeft() const;
  void ScrollTo(int64_t top, int64_t left);
  void EnsureVisible(TextPlace place);
  void Scroll(int bar, WPARAM request);
  void Wheel(int& accumulated, int delta, bool horizontal);
  void KeepMeasuring();
  void MeasureSlice();
  int MeasureLine(HDC dc, std::string_view line);
  // memo_input.cpp: the caret, the selection and what the user does.
  std::wstring WideLine(size_t line) const;
  size_t LineLength(size_t line) const { return WideLine(line).size(); }
  TextPlace End() const;
  TextPlace Clamped(TextPlace place) const;
  int TextX(TextPlace place) const;  // from the start of its line, in pixels
  TextPlace PlaceAt(POINT at) const;
  TextPlace CharStep(TextPlace from, bool forward) const;
  TextPlace WordStep(TextPlace from, bool forward) const;
  TextPlace LineStep(int64_t lines);
  void MoveCaret(TextPlace to, bool extend, bool keepX = false);
  void ShowSystemCaret();
  void PlaceSystemCaret() const;
  bool KeyDown(WPARAM key);
  void MouseDown(POINT at, bool shift);
  void DragTo(POINT at);
  void SelectWordAt(POINT at);
  void ContextMenu(POINT at);
  std::wstring SelectedWide() const;

  TextLines lines_;
  TextPlace anchor_, caret_;
  size_t top_ = 0;
  int left_ = 0;
  int lineHeight_ = 16, charWidth_ = 8, margin_ = 1;  // pixels, of the font
  int desiredX_ = -1;  // where Up and Down keep the caret (-1: where it is)
  bool dragging_ = false;
  int wheel_ = 0, horizontalWheel_ = 0;
  int widest_ = 0;  // pixels, of the lines [0, measured_)
  size_t measured_ = 0;
  bool measuring_ = false;        // a slice is on its way
  std::vector<uint16_t> widths_;  // per UTF-16 unit in the font (kUnknownWidth before asked)
  // Closures that come later (the measuring slices) run only while the box exists.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vemo::ui
