#include "folder_glyphs.h"

#include <initializer_list>
#include <vector>

#include "dpi.h"
#include "gdi.h"

namespace vemo::ui::glyphs {
namespace {

// Points in layout units from the glyph's corner, scaled to the DPI.
struct Pen {
  int x, y, dpi;
  POINT operator()(int px, int py) const {
    return {x + ScaleToDpi(px, dpi), y + ScaleToDpi(py, dpi)};
  }
};

void FillPolygon(HDC dc, const Pen& at, std::initializer_list<POINT> units, COLORREF fill,
                 COLORREF edge) {
  std::vector<POINT> points;
  for (POINT p : units) points.push_back(at(p.x, p.y));
  const gdi::Object<HBRUSH> brush(CreateSolidBrush(fill));
  const gdi::Object<HPEN> pen(CreatePen(PS_SOLID, 1, edge));
  const gdi::Selection brushIn(dc, brush.Get()), penIn(dc, pen.Get());
  Polygon(dc, points.data(), static_cast<int>(points.size()));
}

const COLORREF kEdge = RGB(128, 96, 0);
const COLORREF kBack = RGB(230, 180, 40);
const COLORREF kFront = RGB(255, 220, 90);
const COLORREF kDark = RGB(64, 64, 64);

}  // namespace

void DrawFolder(HDC dc, int x, int y, bool open, int dpi) {
  const Pen at{x, y, dpi};
  // The back with its tab.
  FillPolygon(dc, at, {{0, 2}, {1, 1}, {5, 1}, {6, 3}, {14, 3}, {14, 13}, {0, 13}}, kBack, kEdge);
  if (open) {
    // The front flap tilted down and out.
    FillPolygon(dc, at, {{3, 6}, {16, 6}, {13, 13}, {0, 13}}, kFront, kEdge);
  } else {
    FillPolygon(dc, at, {{0, 5}, {14, 5}, {14, 13}, {0, 13}}, kFront, kEdge);
  }
}

void DrawDrive(HDC dc, int x, int y, unsigned type, int dpi) {
  const Pen at{x, y, dpi};
  if (type == DRIVE_REMOTE) FillPolygon(dc, at, {{7, 12}, {9, 12}, {9, 14}, {7, 14}}, kDark, kDark);
  FillPolygon(dc, at, {{2, 3}, {14, 3}, {16, 7}, {0, 7}}, RGB(220, 220, 220), kDark);
  FillPolygon(dc, at, {{0, 7}, {16, 7}, {16, 12}, {0, 12}}, RGB(176, 176, 176), kDark);
  FillPolygon(dc, at, {{12, 9}, {14, 9}, {14, 10}, {12, 10}}, RGB(0, 200, 0), RGB(0, 120, 0));
  if (type == DRIVE_REMOVABLE)
    FillPolygon(dc, at, {{3, 9}, {9, 9}, {9, 10}, {3, 10}}, kDark, kDark);
  if (type == DRIVE_CDROM) {
    const POINT a = at(4, 0), b = at(12, 7);
    const gdi::Object<HBRUSH> brush(CreateSolidBrush(RGB(200, 220, 255)));
    const gdi::Selection brushIn(dc, brush.Get());
    Ellipse(dc, a.x, a.y, b.x, b.y);
  }
}

}  // namespace vemo::ui::glyphs
