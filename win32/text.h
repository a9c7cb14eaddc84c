// Text inside the program is UTF-8; Windows takes UTF-16. These two convert at the boundary,
// for the engine and the windows alike. A name may hold a UTF-16 surrogate without its partner
// (the file systems allow it): it is kept in the three bytes its code point would take, so that
// text made of a name names that file again. Bytes that are not UTF-8 become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace vemo {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

}  // namespace vemo
