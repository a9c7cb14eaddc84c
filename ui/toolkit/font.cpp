#include "font.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include "dpi.h"
#include "gdi.h"
#include "window_text.h"

namespace vemo::ui {

const char* const kGothicFace = u8"ＭＳ Ｐゴシック";

namespace {

const char kLatinFace[] = "Tahoma";  // the last resort: Latin only, but on every system
const int kNarrowestPercent = 70;
// Paths are drawn through the faces' Unicode tables: in their Shift-JIS tables the code of
// "\" is the yen sign.
const BYTE kPathCharset = DEFAULT_CHARSET;

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceExists(const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  bool found = false;
  const gdi::WindowDc screen;
  EnumFontFamiliesExW(screen.Get(), &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// Whether a face draws U+005C as a backslash: one stroke from the top left down to the bottom
// right. Japanese faces of the code-page-932 tradition draw a yen sign there (two arms at the
// top, a stem at the foot), whatever character set is asked for.
bool DrawsBackslash(const std::wstring& face) {
  const int size = 40;
  const gdi::Object<HFONT> font(CreateFontW(
      -32, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, face.c_str()));
  const gdi::Object<HBITMAP> bitmap(CreateBitmap(size, size, 1, 1, nullptr));
  const gdi::MemoryDc memory;
  const gdi::Selection bitmapIn(memory.Get(), bitmap.Get()), fontIn(memory.Get(), font.Get());
  HDC dc = memory.Get();
  RECT all{0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  const wchar_t backslash = L'\\';
  TextOutW(dc, 4, 2, &backslash, 1);
  // Per row with ink: the number of separate runs and where the first starts.
  std::vector<std::pair<int, int>> rows;
  for (int y = 0; y < size; ++y) {
    int runs = 0, first = -1;
    bool inside = false;
    for (int x = 0; x < size; ++x) {
      bool ink = GetPixel(dc, x, y) == RGB(0, 0, 0);
      if (ink && !inside) {
        ++runs;
        if (first < 0) first = x;
      }
      inside = ink;
    }
    if (runs) rows.emplace_back(runs, first);
  }
  return rows.size() >= 2 && rows.front().first == 1 && rows.back().first == 1 &&
         rows.back().second > rows.front().second;
}

std::mutex mutex;

HFONT MakeFont(const FontSpec& font, const std::string& face, int dpi, int width) {
  LOGFONTW lf{};
  lf.lfHeight = -ScaleToDpi(font.height, dpi);  // negative: character height, not cell height
  lf.lfWidth = width;                           // 0: the face's own width
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = face == kLatinFace || font.paths ? kPathCharset : SHIFTJIS_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = NONANTIALIASED_QUALITY;  // crisp small text, as the layouts were drawn for
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynW(lf.lfFaceName, ToWide(face).c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

// One shared font per face, height, style, DPI and width.
HFONT SharedFont(const FontSpec& font, int dpi, int width) {
  static std::map<std::tuple<std::string, int, bool, bool, bool, int, int>, HFONT> fonts;
  std::string face = DrawnFace(font.face, font.paths);
  std::lock_guard<std::mutex> lock(mutex);
  auto key =
      std::make_tuple(font.face, font.height, font.bold, font.italic, font.paths, dpi, width);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HFONT made = MakeFont(font, face, dpi, width);
  fonts.emplace(key, made);
  return made;
}

}  // namespace

std::vector<std::string> FaceChain(const std::string& requested) {
  std::vector<std::string> chain{requested};
  if (requested == kGothicFace) chain.push_back("MS PGothic");  // its English name
  for (const char* face : {"Yu Gothic UI", "Yu Gothic",         // Windows 10/11, every language
                           "IPAPGothic", "VL PGothic",  // Wine (scripts/bootstrap installs them)
                           kLatinFace})
    if (face != requested) chain.push_back(face);
  return chain;
}

std::string DrawnFace(const std::string& requested, bool paths) {
  static std::map<std::pair<std::string, bool>, std::string> drawn;
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_pair(requested, paths);
  auto it = drawn.find(key);
  if (it != drawn.end()) return it->second;
  std::string face = kLatinFace;
  for (const std::string& candidate : FaceChain(requested)) {
    std::wstring wide = ToWide(candidate);
    if (FaceExists(wide) && (!paths || DrawsBackslash(wide))) {
      face = candidate;
      break;
    }
  }
  drawn.emplace(key, face);
  return face;
}

HFONT GetFont(const FontSpec& font, int dpi) { return SharedFont(font, dpi, 0); }

int TextWidth(HFONT font, const std::wstring& text) {
  const gdi::FontDc dc(font);
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

HFONT FittedFont(const FontSpec& font, int dpi, const std::wstring& text, int room) {
  HFONT natural = GetFont(font, dpi);
  const int width = TextWidth(natural, text);
  if (room <= 0 || width <= room) return natural;
  TEXTMETRICW metrics{};
  GetTextMetricsW(gdi::FontDc(natural).Get(), &metrics);
  // Character widths below the face's average, the text's width shrinking with them: the
  // widest that fits, but none that makes the text narrower than kNarrowestPercent.
  auto widthAt = [&](int charWidth) { return TextWidth(SharedFont(font, dpi, charWidth), text); };
  const int average = std::max<int>(2, metrics.tmAveCharWidth);
  int fits = 1;  // the widest character width whose text fits (1 when none does)
  for (int lo = 1, hi = average - 1; lo <= hi;) {
    int mid = (lo + hi) / 2;
    if (widthAt(mid) <= room) {
      fits = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  int readable = average - 1;  // the narrowest character width that keeps the text readable
  for (int lo = 1, hi = average - 1; lo <= hi;) {
    int mid = (lo + hi) / 2;
    if (widthAt(mid) * 100 >= width * kNarrowestPercent) {
      readable = mid;
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  return SharedFont(font, dpi, std::max(fits, readable));
}

std::wstring ShownText(const std::string& caption) {
  std::wstring text = ToWide(caption), shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;  // "&x" shows x, "&&" shows "&"
    shown += text[i];
  }
  return shown;
}

}  // namespace vemo::ui
