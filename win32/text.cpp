#include "win32/text.h"

namespace vemo {

// UTF-8 that also carries an unpaired UTF-16 surrogate, as the three bytes its code point would
// take (WTF-8): every name Windows can hold survives the trip to text and back.
std::wstring ToWide(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    const unsigned c = s[i];
    // Length, lowest code point and first-byte bits of the sequence that c begins.
    size_t length = 1;
    unsigned code = c, lowest = 0;
    if (c >= 0xF0 && c <= 0xF4) {
      length = 4, code = c & 0x07, lowest = 0x10000;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, code = c & 0x0F, lowest = 0x800;
    } else if (c >= 0xC2 && c <= 0xDF) {
      length = 2, code = c & 0x1F, lowest = 0x80;
    } else if (c >= 0x80) {
      length = 0;  // a stray continuation byte or one that begins nothing
    }
    bool valid = length > 0 && i + length <= n;
    for (size_t k = 1; valid && k < length; ++k) {
      valid = (s[i + k] & 0xC0) == 0x80;
      code = (code << 6) | (s[i + k] & 0x3F);
    }
    if (!valid || code < lowest || code > 0x10FFFF) {
      wide += L'\xFFFD';
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide += static_cast<wchar_t>(0xD800 + (code >> 10));
      wide += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
      wide += static_cast<wchar_t>(code);  // a lone surrogate too
    }
    i += length;
  }
  return wide;
}

std::string ToUtf8(std::wstring_view wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    unsigned code = wide[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF)
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[++i] - 0xDC00);
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (code >> 18));
      utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

}  // namespace vemo
