#include "picture.h"

#include <map>
#include <mutex>
#include <utility>

#include "application.h"
#include "gdi.h"

namespace vemo::ui {

Picture Picture::Bitmap(int resourceId) { return Load(resourceId, false); }
Picture Picture::Icon(int resourceId) { return Load(resourceId, true); }

Picture Picture::Load(int resourceId, bool icon) {
  // One shared image per resource for the whole process.
  static std::map<std::pair<int, bool>, Picture> loaded;
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_pair(resourceId, icon);
  auto it = loaded.find(key);
  if (it != loaded.end()) return it->second;
  auto data = std::make_shared<Data>();
  data->id = resourceId;
  data->isIcon = icon;
  HINSTANCE module = GetModuleHandleW(nullptr);
  if (icon) {
    data->icon = (HICON)LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 32, 32, 0);
    ICONINFO info{};
    if (data->icon && GetIconInfo(data->icon, &info)) {
      data->width = data->height = 32;
      data->iconMask = info.hbmMask;
      data->iconColor = info.hbmColor;
    }
  } else {
    data->bitmap = (HBITMAP)LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0,
                                       LR_CREATEDIBSECTION);
    DIBSECTION dib{};
    if (data->bitmap && GetObjectW(data->bitmap, sizeof(dib), &dib)) {
      data->width = dib.dsBm.bmWidth;
      data->height = dib.dsBm.bmHeight;
      data->plain = PlainColour(dib, data->colour);
    }
  }
  Picture picture;
  picture.data_ = data;
  loaded.emplace(key, picture);
  return picture;
}

namespace {

// Copies a bitmap enlarged by a whole factor, pixel for pixel.
void Blit(HDC dc, int x, int y, int w, int h, int factor, HBITMAP bitmap, DWORD rop) {
  const gdi::MemoryDc mem(dc);
  const gdi::Selection picture(mem.Get(), bitmap);
  int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, x, y, w * factor, h * factor, mem.Get(), 0, 0, w, h, rop);
  SetStretchBltMode(dc, oldMode);
}

}  // namespace

bool Picture::PlainColour(const DIBSECTION& dib, COLORREF& colour) {
  if (!dib.dsBm.bmBits || dib.dsBm.bmBitsPixel != 24) return false;
  const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
  const unsigned char* first = bits;
  for (int row = 0; row < dib.dsBm.bmHeight; ++row) {
    const unsigned char* p = bits + static_cast<size_t>(row) * dib.dsBm.bmWidthBytes;
    for (int col = 0; col < dib.dsBm.bmWidth; ++col, p += 3)
      if (p[0] != first[0] || p[1] != first[1] || p[2] != first[2]) return false;
  }
  colour = RGB(first[2], first[1], first[0]);
  return true;
}

void Picture::Draw(HDC dc, int x, int y, int factor) const {
  if (!data_) return;
  const int w = data_->width, h = data_->height;
  if (data_->icon) {
    if (data_->iconColor && data_->iconMask) {
      // The mask's bits become black and white through the text and background colours.
      COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
      Blit(dc, x, y, w, h, factor, data_->iconMask, SRCAND);
      SetTextColor(dc, text);
      SetBkColor(dc, back);
      Blit(dc, x, y, w, h, factor, data_->iconColor, SRCINVERT);
    } else {
      DrawIconEx(dc, x, y, data_->icon, w * factor, h * factor, 0, nullptr, DI_NORMAL);
    }
  } else if (data_->bitmap) {
    Blit(dc, x, y, w, h, factor, data_->bitmap, SRCCOPY);
  }
}

void Picture::Fill(HDC dc, const RECT& area) const {
  if (!Plain()) return;
  const gdi::Object<HBRUSH> brush(CreateSolidBrush(data_->colour));
  FillRect(dc, &area, brush.Get());
}

}  // namespace vemo::ui
