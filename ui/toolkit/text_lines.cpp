#include "text_lines.h"

#include <algorithm>
#include <cstring>

namespace vemo::ui {

void TextLines::Append(std::string_view line) {
  if (line.size() > room_) {
    // A line longer than a block gets a block of its own size.
    blockSize_ = std::max(kBlock, line.size());
    blocks_.emplace_back(new char[blockSize_]);  // left unset: every byte is written before use
    room_ = blockSize_;
  }
  char* at = blocks_.back().get() + (blockSize_ - room_);
  if (!line.empty()) std::memcpy(at, line.data(), line.size());
  room_ -= line.size();
  lines_.push_back(Line{at, line.size()});
}

void TextLines::Clear() {
  std::vector<Line>().swap(lines_);
  std::vector<std::unique_ptr<char[]>>().swap(blocks_);
  blockSize_ = room_ = 0;
}

}  // namespace vemo::ui
