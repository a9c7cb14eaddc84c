// UTF-8 <-> UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace vemo {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

// The path as Win32 wants it: with the long-path prefix ("\\?\" or "\\?\UNC\") once it
// reaches 260 characters, made absolute first since the prefix turns off all path parsing.
std::wstring Win32Path(std::string_view utf8Path);

}  // namespace vemo
