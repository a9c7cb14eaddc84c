// A picture from the program's resources: a bitmap or an icon. Pictures are values that copy
// cheaply (X.SetPicture(Y.GetPicture()) shares the image); two copies of one resource compare
// equal. A missing resource gives a picture that keeps its identifier and draws nothing.
// Pictures are pixel art: they are enlarged by whole factors only, pixel for pixel (nearest
// neighbour), never smoothed. A picture that means something carries a name for assistive
// technology ("Check mark"), which goes with it when it is copied.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

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
  // A bitmap of a single colour (a backdrop): enlarging it by any amount changes no pixel.
  bool Plain() const { return data_ && data_->plain; }
  // The same picture with a name; "" for one that is only decoration.
  Picture Named(const std::string& name) const {
    Picture named = *this;
    named.name_ = name;
    return named;
  }
  const std::string& Name() const { return name_; }

  // Draws with the top-left corner at (x, y), each pixel as factor x factor pixels; icons with
  // their transparency mask.
  void Draw(HDC dc, int x, int y, int factor = 1) const;
  // A plain picture covering a rectangle.
  void Fill(HDC dc, const RECT& area) const;

  bool operator==(const Picture& other) const {
    return data_ == other.data_ && name_ == other.name_;
  }
  bool operator!=(const Picture& other) const { return !(*this == other); }

 private:
  struct Data {
    int id = 0;
    bool isIcon = false;
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
    HBITMAP iconMask = nullptr, iconColor = nullptr;
    int width = 0, height = 0;
    bool plain = false;
    COLORREF colour = 0;
  };
  static Picture Load(int resourceId, bool icon);
  static bool PlainColour(const DIBSECTION& dib, COLORREF& colour);
  std::shared_ptr<const Data> data_;
  std::string name_;
};

}  // namespace vemo::ui
