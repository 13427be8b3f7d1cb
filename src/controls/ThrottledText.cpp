#include "controls/ThrottledText.h"

bool ThrottledText::Offer(const std::string& text, std::int64_t nowMs) {
    if (shownAt_ && !waiting_ && text == text_) return false;  // on screen already
    text_ = text;
    if (shownAt_ && nowMs - *shownAt_ < kIntervalMs) {
        waiting_ = true;
        return false;
    }
    waiting_ = false;
    shownAt_ = nowMs;
    return true;
}

std::optional<std::string> ThrottledText::TakeWaiting(std::int64_t nowMs) {
    if (!waiting_ || (shownAt_ && nowMs - *shownAt_ < kIntervalMs)) return std::nullopt;
    waiting_ = false;
    shownAt_ = nowMs;
    return text_;
}
