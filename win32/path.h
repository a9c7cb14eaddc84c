// The one rule for turning what the user wrote into the paths handed to Windows.
//  - A folder text is resolved once, by FullPath, at the top of a walk: that is where "C:"
//    means the current folder of drive C:, where ".." and relative texts count from the current
//    folder and where "\\server\share" is a network share.
//  - Below it, names are appended exactly as a listing returned them, and every call gets the
//    LiteralPath form ("\\?\C:\..." or "\\?\UNC\server\share\..."), at every length. Windows
//    parses nothing in that form, so "NUL", "AUX", "con.txt", "t " and "u." are the files and
//    folders they are, never a device and never another name with the dots or spaces trimmed.
#pragma once

#include <string>
#include <string_view>

namespace vemo::win32 {

// The full path of a path text: a full text that names an existing file or folder exactly as
// written ("C:\\x\\sub." where that folder exists) is taken as written; any other text as
// Windows resolves it for this process. Empty when it cannot be resolved.
std::wstring FullPath(std::wstring_view text);

// The literal form of a full path; empty when the path lies in the device namespace ("\\.\NUL",
// which is what FullPath makes of a text that names a device): no folder or file is there.
std::wstring LiteralPath(std::wstring_view fullPath);

// Both steps for a folder text, in UTF-8: the path below which a walk appends names.
std::string ResolveFolderText(const std::string& text);

// Whether a name follows a path text at once, with no "\" between: the text ends in "\" or in
// a drive's ":" ("C:\", "C:").
bool EndsInSeparator(std::string_view path);
// A name appended to a folder path, with "\" unless EndsInSeparator.
std::string Join(const std::string& folder, const std::string& name);
// Case-blind comparison of two paths (ASCII letters only, as names are compared elsewhere).
bool SamePath(std::string_view a, std::string_view b);

}  // namespace vemo::win32
