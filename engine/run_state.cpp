#include "engine/run_state.h"

namespace vemo {

void TitleText::set(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    text_ = text;
}

void TitleText::set(const char* text, size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.assign(text, length);
}

std::string TitleText::get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

RunState& runState() {
    static RunState state;
    return state;
}

}  // namespace vemo
