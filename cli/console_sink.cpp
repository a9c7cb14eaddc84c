#include "cli/console_sink.h"

namespace vemo {

namespace {
constexpr size_t kFlushAt = 1 << 16;
constexpr auto kProgressEvery = std::chrono::milliseconds(100);
}  // namespace

void AppendEscaped(std::string& to, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      to += c;
      continue;
    }
    switch (c) {
      case '\n': to += "\\n"; break;
      case '\r': to += "\\r"; break;
      case '\t': to += "\\t"; break;
      default:
        to += "\\x";
        to += kHex[byte >> 4];
        to += kHex[byte & 0xF];
    }
  }
}

ConsoleSink::ConsoleSink(std::FILE* out, std::FILE* err, bool progress, const RunState& state,
                         bool escapes)
    : out_(out), err_(err), progress_(progress), state_(state), escapes_(escapes) {}

namespace {
// Characters a terminal shows for UTF-8 text (continuation bytes take no place of their own).
size_t Shown(const std::string& text) {
  size_t count = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}
}  // namespace

ConsoleSink::~ConsoleSink() { Flush(); }

void ConsoleSink::AddErrorLine(std::string_view line) {
  std::string& to = streaming_ ? buffer_ : held_;
  AppendEscaped(to, line);
  to += '\n';
  if (buffer_.size() >= kFlushAt) {
    EndProgressLine();
    std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
    buffer_.clear();
  }
}

void ConsoleSink::ClearLines() {
  held_.clear();
  streaming_ = true;
}

void ConsoleSink::SetPanel(Panel panel, std::string_view caption) {
  if (!progress_) return;
  switch (panel) {
    case Panel::Panel1:
      file_.clear();
      AppendEscaped(file_, caption);
      break;
    case Panel::Panel2: fileSize_.assign(caption.data(), caption.size()); break;
    case Panel::Panel3: runSize_.assign(caption.data(), caption.size()); break;
  }
  ShowProgress();
}

void ConsoleSink::SetBar(Bar, int, int64_t) {}

void ConsoleSink::ShowProgress() {
  auto now = std::chrono::steady_clock::now();
  if (now - lastShown_ < kProgressEvery) return;
  lastShown_ = now;
  progressShown_ = true;
  std::string title = state_.titleText.Get();  // "42% - Vemo" or "Calculating - Vemo"
  std::string percent = title.substr(0, title.find(" - Vemo"));
  std::string path = file_;
  if (path.size() > 60) path = "..." + path.substr(path.size() - 57);
  std::string line = percent + " " + runSize_ + " " + fileSize_ + " " + path;
  if (escapes_) {
    std::fprintf(err_, "\r\033[K%s", line.c_str());
  } else {
    // Without escape sequences the rest of a longer previous line is blanked with spaces.
    size_t width = Shown(line);
    std::string blank(shownWidth_ > width ? shownWidth_ - width : 0, ' ');
    std::fprintf(err_, "\r%s%s", line.c_str(), blank.c_str());
    shownWidth_ = width;
  }
  std::fflush(err_);
}

void ConsoleSink::EndProgressLine() {
  if (!progressShown_) return;
  if (escapes_) {
    std::fputs("\r\033[K", err_);
  } else {
    std::fprintf(err_, "\r%s\r", std::string(shownWidth_, ' ').c_str());
    shownWidth_ = 0;
  }
  std::fflush(err_);
  progressShown_ = false;
}

void ConsoleSink::Flush() {
  EndProgressLine();
  if (!held_.empty()) {
    std::fwrite(held_.data(), 1, held_.size(), out_);
    held_.clear();
  }
  if (!buffer_.empty()) {
    std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
    buffer_.clear();
  }
  std::fflush(out_);
}

}  // namespace vemo
