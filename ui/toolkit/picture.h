// A picture from the program's resources: a bitmap or an icon. Pictures are values that copy
// cheaply (X.SetPicture(Y.GetPicture()) shares the image); two copies of one resource compare
// equal. A missing resource gives a picture that keeps its identifier and draws nothing.
#pragma once
#include <windows.h>

#include <memory>

namespace vemo::ui {

class Picture {
 public:
  Picture() = default;
  static Picture Bitmap(int resourceId);
  static Picture Icon(int resourceId);

  bool Empty() const { return !data_; }
  bool Loaded() const { return data_ && (data_->bitmap || data_->icon); }
  int ResourceId() const { return data_ ? data_->id : 0; }
  bool IsIcon() const { return data_ && data_->isIcon; }
  int Width() const { return data_ ? data_->width : 0; }
  int Height() const { return data_ ? data_->height : 0; }

  // Draws at (x, y), not stretched; icons with their transparency mask.
  void Draw(HDC dc, int x, int y) const;

  bool operator==(const Picture& other) const { return data_ == other.data_; }
  bool operator!=(const Picture& other) const { return data_ != other.data_; }

 private:
  struct Data {
    int id = 0;
    bool isIcon = false;
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
    int width = 0, height = 0;
  };
  static Picture Load(int resourceId, bool icon);
  std::shared_ptr<const Data> data_;
};

}  // namespace vemo::ui
