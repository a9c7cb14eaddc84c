#include "engine/messages.h"

namespace vemo {
namespace {

struct MessageTexts {
  const char* text[2];
};

// Indexed by Message; English first, Japanese second.
const MessageTexts kMessages[] = {
    {{"%s : No file found.", "%s : 一致するファイルが見つかりません。"}},
    {{"%s : Invalid file.", "%s : 無効なファイルを指定しました。"}},
    {{"%s : Directory searching error.", "%s : ディレクトリ検索エラーです。"}},
    {{"Can't open : %s", "%s が開けません。"}},
    {{"%s is longer than %s .", "%s は %s より長いファイルです。"}},
    {{"%s and %s differ in contents.", "%s と %s は内容が一致しません。"}},
    {{"%s\\%s does'nt exist in another folder.", "%s\\%s は片側のフォルダにのみ存在します。"}},
};

}  // namespace

const char* MessageText(Message message, int language) {
  return kMessages[static_cast<int>(message)].text[language == 1 ? 1 : 0];
}

std::string FormatMessageText(Message message, int language, std::string_view a, std::string_view b,
                              char separator) {
  std::string_view format = MessageText(message, language);
  std::string out;
  out.reserve(format.size() + a.size() + b.size());
  int argument = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
      out += argument++ == 0 ? a : b;
      ++i;
    } else if (format[i] == '\\' && message == MsgNoCounterpart) {
      out += separator;
    } else {
      out += format[i];
    }
  }
  return out;
}

}  // namespace vemo
