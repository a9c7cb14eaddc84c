// Fonts by face, character height and style. Every window of the program asks for the
// proportional Japanese Gothic face; where the system lacks it a face that exists is drawn,
// while the requested face stays what the program asked for.
#pragma once
#include <windows.h>

#include <string>

namespace vemo::ui {

extern const char* const kGothicFace;  // "ＭＳ Ｐゴシック"

struct FontSpec {
  int height = 12;  // character height in pixels
  bool bold = false;
  bool italic = false;
  bool black = false;  // black text instead of the system's window-text colour
  std::string face = kGothicFace;

  bool operator==(const FontSpec& o) const {
    return height == o.height && bold == o.bold && italic == o.italic && black == o.black &&
           face == o.face;
  }
};

// Shorthands for the layouts.
inline FontSpec MakeFont(int height, bool bold = false, bool italic = false, bool black = false) {
  FontSpec f;
  f.height = height;
  f.bold = bold;
  f.italic = italic;
  f.black = black;
  return f;
}

// The shared GDI font of a font description; fonts live for the whole process.
HFONT GetFont(const FontSpec& font);
// The face actually drawn for a requested face (the fallback when it is missing).
std::string DrawnFace(const std::string& requested);
// Text colour of a font description.
COLORREF TextColor(const FontSpec& font);

}  // namespace vemo::ui
