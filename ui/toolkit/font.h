// Fonts by face, character height and style. Every window of the program asks for the
// proportional Japanese Gothic face. Where the system lacks it, the first face of a chain of
// Japanese faces that exists is drawn (FaceChain), while the requested face stays what the
// program asked for. Heights are layout units (96 DPI) and are scaled to the DPI asked for.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vemo::ui {

extern const char* const kGothicFace;  // "ＭＳ Ｐゴシック"

struct FontSpec {
  int height = 12;  // character height in layout units
  bool bold = false;
  bool italic = false;
  bool black = false;  // black text instead of the system's window-text colour
  // The text shows paths: only a face that draws "\" as a backslash (not as a yen sign).
  bool paths = false;
  std::string face = kGothicFace;

  bool operator==(const FontSpec& o) const {
    return height == o.height && bold == o.bold && italic == o.italic && black == o.black &&
           paths == o.paths && face == o.face;
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
inline FontSpec PathFont(FontSpec font) {
  font.paths = true;
  return font;
}

// The faces tried for a requested face, in order: the face itself, its English name, the
// Japanese faces of every Windows 10/11, the Japanese Gothic faces installed for Wine, and a
// last face that always draws Latin text.
std::vector<std::string> FaceChain(const std::string& requested);
// The face actually drawn: the first of the chain that exists (and, for paths, draws "\" as
// a backslash).
std::string DrawnFace(const std::string& requested, bool paths = false);

// The shared GDI font of a font description at a DPI; fonts live for the whole process.
HFONT GetFont(const FontSpec& font, int dpi = 96);
// The font for one line of text that has `room` pixels: GetFont's when the text fits, else
// the same face narrowed just enough (down to 70 % of its width).
HFONT FittedFont(const FontSpec& font, int dpi, const std::wstring& text, int room);
// The width of one line of text in pixels, in a font.
int TextWidth(HFONT font, const std::wstring& text);
// The text a caption shows: a single "&" marks the access key and is not drawn, "&&" is one "&".
std::wstring ShownText(const std::string& caption);

}  // namespace vemo::ui
