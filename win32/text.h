// Text inside the program is UTF-8; Windows takes UTF-16. These two convert at the boundary,
// for the engine and the windows alike.
#pragma once

#include <string>
#include <string_view>

namespace vemo {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

}  // namespace vemo
