// Small glyphs drawn with GDI for the folder list and the drive box (16 x 14 layout units,
// drawn at the DPI given).
#pragma once

#include <windows.h>

namespace vemo::ui::glyphs {

constexpr int kGlyphHeight = 14;

// A closed folder, or an opened one, with its top-left corner at (left, top).
void DrawFolder(HDC dc, int left, int top, bool open, int dpi);
// A drive of a kind (GetDriveTypeW): a flat box with a lamp; a removable drive has a slot, an
// optical drive a disc, a network drive hangs on a cable.
void DrawDrive(HDC dc, int left, int top, unsigned type, int dpi);

}  // namespace vemo::ui::glyphs
