#include "picture.h"

#include <map>
#include <mutex>
#include <utility>

#include "application.h"

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
    if (data->icon) data->width = data->height = 32;
  } else {
    data->bitmap = (HBITMAP)LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0,
                                       LR_CREATEDIBSECTION);
    BITMAP bm{};
    if (data->bitmap && GetObjectW(data->bitmap, sizeof(bm), &bm)) {
      data->width = bm.bmWidth;
      data->height = bm.bmHeight;
    }
  }
  Picture picture;
  picture.data_ = data;
  loaded.emplace(key, picture);
  return picture;
}

void Picture::Draw(HDC dc, int x, int y) const {
  if (!data_) return;
  if (data_->icon) {
    DrawIconEx(dc, x, y, data_->icon, data_->width, data_->height, 0, nullptr, DI_NORMAL);
  } else if (data_->bitmap) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, data_->bitmap);
    BitBlt(dc, x, y, data_->width, data_->height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
}

}  // namespace vemo::ui
