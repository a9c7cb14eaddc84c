#include "font.h"

#include <map>
#include <mutex>
#include <tuple>

#include "text.h"

namespace vemo::ui {

const char* const kGothicFace = u8"ＭＳ Ｐゴシック";

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceExists(const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

std::mutex mutex;

}  // namespace

std::string DrawnFace(const std::string& requested) {
  static std::map<std::string, std::string> drawn;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = drawn.find(requested);
  if (it != drawn.end()) return it->second;
  // A missing face is drawn with the first one that exists: a proportional Japanese Gothic
  // (so that Japanese names show), else Tahoma, which Wine ships and Windows has everywhere.
  std::string face = "Tahoma";
  for (const char* candidate : {requested.c_str(), "MS PGothic", "VL PGothic", "IPAPGothic"}) {
    if (FaceExists(ToWide(candidate))) {
      face = candidate;
      break;
    }
  }
  drawn.emplace(requested, face);
  return face;
}

HFONT GetFont(const FontSpec& font) {
  static std::map<std::tuple<std::string, int, bool, bool>, HFONT> fonts;
  std::string face = DrawnFace(font.face);
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_tuple(font.face, font.height, font.bold, font.italic);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  LOGFONTW lf{};
  lf.lfHeight = -font.height;  // negative: character height, not cell height
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = face == "Tahoma" ? DEFAULT_CHARSET : SHIFTJIS_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = NONANTIALIASED_QUALITY;  // crisp small text, as the layouts were drawn for
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynW(lf.lfFaceName, ToWide(face).c_str(), LF_FACESIZE);
  HFONT made = CreateFontIndirectW(&lf);
  fonts.emplace(key, made);
  return made;
}

COLORREF TextColor(const FontSpec& font) {
  return font.black ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT);
}

}  // namespace vemo::ui
