#include "folder_glyphs.h"

namespace vemo::ui::glyphs {
namespace {

void FillPolygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Polygon(dc, points, count);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

const COLORREF kEdge = RGB(128, 96, 0);
const COLORREF kBack = RGB(230, 180, 40);
const COLORREF kFront = RGB(255, 220, 90);

}  // namespace

void DrawFolder(HDC dc, int x, int y, bool open) {
  // The back with its tab.
  const POINT back[] = {{x, y + 2},      {x + 1, y + 1},   {x + 5, y + 1}, {x + 6, y + 3},
                        {x + 14, y + 3}, {x + 14, y + 13}, {x, y + 13}};
  FillPolygon(dc, back, 7, kBack, kEdge);
  if (open) {
    // The front flap tilted down and out.
    const POINT front[] = {{x + 3, y + 6}, {x + 16, y + 6}, {x + 13, y + 13}, {x, y + 13}};
    FillPolygon(dc, front, 4, kFront, kEdge);
  } else {
    const POINT front[] = {{x, y + 5}, {x + 14, y + 5}, {x + 14, y + 13}, {x, y + 13}};
    FillPolygon(dc, front, 4, kFront, kEdge);
  }
}

void DrawDrive(HDC dc, int x, int y) {
  const POINT top[] = {{x + 2, y + 3}, {x + 14, y + 3}, {x + 16, y + 7}, {x, y + 7}};
  FillPolygon(dc, top, 4, RGB(220, 220, 220), RGB(64, 64, 64));
  const POINT body[] = {{x, y + 7}, {x + 16, y + 7}, {x + 16, y + 12}, {x, y + 12}};
  FillPolygon(dc, body, 4, RGB(176, 176, 176), RGB(64, 64, 64));
  const POINT lamp[] = {{x + 12, y + 9}, {x + 14, y + 9}, {x + 14, y + 10}, {x + 12, y + 10}};
  FillPolygon(dc, lamp, 4, RGB(0, 200, 0), RGB(0, 120, 0));
}

}  // namespace vemo::ui::glyphs
