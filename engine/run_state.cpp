#include "engine/run_state.h"

namespace vemo {

void TitleText::Set(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  text_ = text;
}

void TitleText::Set(const char* text, size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  text_.assign(text, length);
}

std::string TitleText::Get() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return text_;
}

RunState& SharedRunState() {
  static RunState state;
  return state;
}

}  // namespace vemo
