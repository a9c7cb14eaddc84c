// The colours the program draws with. Backgrounds, text and frames are the system's; the
// layouts' "black" text is black, except in high contrast, where every text and frame takes
// the system colour meant for its background. Pictures keep their own colours.
#pragma once
#include <windows.h>

#include <optional>

#include "font.h"

namespace vemo::ui {

// Whether the user has high contrast on (SPI_GETHIGHCONTRAST), asked afresh each time, so a
// change shows at the next paint (forms repaint on WM_SYSCOLORCHANGE and WM_SETTINGCHANGE).
bool HighContrast();
// Sets the answer where the system cannot give it (Wine reports high contrast as always off):
// the screenshots and tests of the high-contrast look. nullopt: the system's answer again.
void ForceHighContrast(std::optional<bool> on);

// The text colour of a font description on a background (COLOR_BTNFACE or COLOR_WINDOW).
COLORREF TextColor(const FontSpec& font, int background = COLOR_BTNFACE);
// A control's frame: the 3-D edge (DrawEdge's `edge`), or in high contrast a plain line in
// the text colour, which every scheme keeps apart from the background.
void DrawFrame(HDC dc, const RECT& r, UINT edge);

}  // namespace vemo::ui
