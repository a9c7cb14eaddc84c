// The lines of a text, held once: their bytes one after another in large blocks, and where each
// line starts. Appending never moves what is stored, so a text of millions of lines grows
// without copying itself and without one allocation per line.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::ui {

class TextLines {
 public:
  size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  std::string_view operator[](size_t index) const {
    return std::string_view(lines_[index].text, lines_[index].size);
  }
  void Append(std::string_view line);
  // Forgets every line and gives their memory back.
  void Clear();

 private:
  struct Line {
    const char* text;
    size_t size;
  };
  static constexpr size_t kBlock = size_t(1) << 20;

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t blockSize_ = 0;  // of the last block
  size_t room_ = 0;       // bytes still free at its end
  std::vector<Line> lines_;
};

}  // namespace vemo::ui
