// Small glyphs drawn with GDI for the folder list and the drive box (16 x 14 pixels).
#pragma once

#include <windows.h>

namespace vemo::ui::glyphs {

// A closed folder, or an opened one, with its top-left corner at (left, top).
void DrawFolder(HDC dc, int left, int top, bool open);
// A drive: a flat box with a lamp.
void DrawDrive(HDC dc, int left, int top);

}  // namespace vemo::ui::glyphs
