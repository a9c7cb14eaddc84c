// The lines of a text, held once: their bytes one after another in blocks, and where each line
// starts. Appending never moves what is stored, so a text of millions of lines grows without
// copying itself, and neither making nor freeing it costs one allocation per line: the Error
// Information window's text, and the batches of a run's lines on their way to it.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace vemo {

class TextLines {
 public:
  size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  std::string_view operator[](size_t index) const {
    return std::string_view(lines_[index].text, lines_[index].size);
  }

  void Append(std::string_view line) {
    if (blocks_.empty() || line.size() > room_) {
      // Blocks double up to kBlock (a batch of one line stays small); a longer line gets a
      // block of its own size.
      blockSize_ = std::max(std::min(kBlock, std::max(kFirstBlock, 2 * blockSize_)), line.size());
      blocks_.emplace_back(new char[blockSize_]);  // left unset: every byte is written before use
      room_ = blockSize_;
    }
    char* at = blocks_.back().get() + (blockSize_ - room_);
    if (!line.empty()) std::memcpy(at, line.data(), line.size());
    room_ -= line.size();
    lines_.push_back(Line{at, line.size()});
  }

  // Forgets every line and gives their memory back.
  void Clear() {
    std::vector<Line>().swap(lines_);
    std::vector<std::unique_ptr<char[]>>().swap(blocks_);
    blockSize_ = room_ = 0;
  }

 private:
  struct Line {
    const char* text;
    size_t size;
  };
  static constexpr size_t kFirstBlock = size_t(1) << 12;
  static constexpr size_t kBlock = size_t(1) << 20;

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t blockSize_ = 0;  // of the last block
  size_t room_ = 0;       // bytes still free at its end
  std::vector<Line> lines_;
};

}  // namespace vemo
