// Exhausted memory anywhere in a run ends the process with one line on standard output and
// status 1. An I/O thread cannot end the process itself (its work may have been given up): it
// carries the exception to the walk, which stops there.
#pragma once

#include <new>

namespace vemo {

constexpr const char* kOutOfMemoryText = "Out of Memory.\n";
// Where the listing's own search record could not be had.
constexpr const char* kOutOfSearchMemoryText = "Out of memory.\n";

// Exhausted memory whose line is known where it happened.
class OutOfMemory : public std::bad_alloc {
 public:
  explicit OutOfMemory(const char* text) : text_(text) {}
  const char* what() const noexcept override { return "out of memory"; }
  const char* Text() const { return text_; }

 private:
  const char* text_;
};

// The line an exhausted memory exception stands for.
inline const char* OutOfMemoryText(const std::bad_alloc& failure) {
  const auto* known = dynamic_cast<const OutOfMemory*>(&failure);
  return known ? known->Text() : kOutOfMemoryText;
}

// Writes the text to standard output and ends the process with status 1 at once. Threads that
// run out at the same moment print one line: the first one's.
[[noreturn]] void OutOfMemoryStop(const char* text);

}  // namespace vemo
