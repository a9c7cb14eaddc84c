// The engine's error messages, English and Japanese (UTF-8), and their formatting.
#pragma once

#include <string>
#include <string_view>

namespace vemo {

enum Message {
  MsgNoFileFound,     // search pattern
  MsgInvalidFile,     // search pattern
  MsgDirSearchError,  // search pattern
  MsgCantOpen,        // path of the file
  MsgLonger,          // path of the longer file, path of the shorter file
  MsgDiffer,          // Folder 1 side path, Folder 2 side path
  MsgNoCounterpart,   // folder path, entry name (joined by the separator)
};

// The printf-style text ("%s" only) of a message in a language (0 English, 1 Japanese).
// NoCounterpart's two conversions are joined by a backslash.
const char* MessageText(Message message, int language);

// Fills the message's "%s" conversions with a and b, in order. In NoCounterpart the backslash
// between the two is replaced by `separator`.
std::string FormatMessageText(Message message, int language, std::string_view a,
                              std::string_view b = {}, char separator = '\\');

}  // namespace vemo
