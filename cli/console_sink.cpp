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

ConsoleSink::ConsoleSink(std::FILE* out, std::FILE* err, bool progress, const RunState& state)
    : out_(out), err_(err), progress_(progress), state_(state) {}

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
  std::fprintf(err_, "\r\033[K%s %s %s %s", percent.c_str(), runSize_.c_str(), fileSize_.c_str(),
               path.c_str());
  std::fflush(err_);
}

void ConsoleSink::EndProgressLine() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", err_);
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
