#include "colors.h"

#include <atomic>

namespace vemo::ui {
namespace {
// -1: ask the system; 0 or 1: forced.
std::atomic<int> forced{-1};
}  // namespace

bool HighContrast() {
  if (forced >= 0) return forced == 1;
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof(hc);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
         (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void ForceHighContrast(std::optional<bool> on) { forced = on ? (*on ? 1 : 0) : -1; }

COLORREF TextColor(const FontSpec& font, int background) {
  if (HighContrast())
    return GetSysColor(background == COLOR_WINDOW ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
  return font.black ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT);
}

void DrawFrame(HDC dc, const RECT& r, UINT edge) {
  if (!HighContrast()) {
    RECT copy = r;
    DrawEdge(dc, &copy, edge, BF_RECT);
    return;
  }
  FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNTEXT));
}

}  // namespace vemo::ui
