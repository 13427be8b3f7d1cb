#include "controls/TimeField.h"

#include <algorithm>

#include "controls/TimeText.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Right-aligns `part` into `out` (two positions): surplus leading characters are dropped,
// missing ones leave the leading position empty.
void FillPart(std::string_view part, char* out) {
    if (part.size() > 2) part.remove_prefix(part.size() - 2);
    out[0] = out[1] = ' ';
    std::copy(part.begin(), part.end(), out + (2 - part.size()));
}

}  // namespace

TimeField::TimeField()
    : positions_{' ', ' ', kTimeSeparator, ' ', ' '}, focusPositions_(positions_) {}

void TimeField::SetText(std::string_view value) {
    const std::size_t separator = value.find(kTimeSeparator);
    const std::string_view hours = value.substr(0, separator);
    const std::string_view minutes =
        separator == std::string_view::npos ? std::string_view() : value.substr(separator + 1);
    FillPart(hours, &positions_[0]);
    FillPart(minutes, &positions_[3]);
    edited_ = false;
    cursor_ = 0;
    selectionLength_ = 0;
}

std::string TimeField::Text() const { return std::string(positions_.begin(), positions_.end()); }

std::string TimeField::DisplayText() const {
    std::string text = Text();
    for (int i = 0; i < kLength; ++i)
        if (IsDigitPosition(i) && text[i] == ' ') text[i] = '_';
    return text;
}

void TimeField::SetCursor(int position) {
    cursor_ = std::clamp(position, 0, kLength);
    selectionLength_ = 0;
}

void TimeField::Select(int start, int length) {
    cursor_ = std::clamp(start, 0, kLength);
    selectionLength_ = std::clamp(length, 0, kLength - cursor_);
}

void TimeField::EmptySelection() {
    for (int i = cursor_; i < cursor_ + selectionLength_; ++i)
        if (IsDigitPosition(i)) positions_[i] = ' ';
    if (selectionLength_ > 0) edited_ = true;
    selectionLength_ = 0;
}

bool TimeField::TypeCharacter(char c) {
    if (c == kTimeSeparator) {
        if (cursor_ > kSeparatorPosition) return false;
        cursor_ = kSeparatorPosition + 1;
        selectionLength_ = 0;
        return true;
    }
    if (!IsDigit(c)) return false;
    EmptySelection();
    if (cursor_ == kSeparatorPosition) ++cursor_;
    if (cursor_ >= kLength) return false;
    positions_[cursor_] = c;
    edited_ = true;
    ++cursor_;
    if (cursor_ == kSeparatorPosition) ++cursor_;
    return true;
}

void TimeField::Delete() {
    if (selectionLength_ > 0) {
        EmptySelection();
        return;
    }
    if (cursor_ >= kLength || !IsDigitPosition(cursor_)) return;
    positions_[cursor_] = ' ';
    edited_ = true;
}

void TimeField::Backspace() {
    if (selectionLength_ > 0) {
        EmptySelection();
        return;
    }
    int target = cursor_ - 1;
    if (target == kSeparatorPosition) --target;
    if (target < 0) return;
    positions_[target] = ' ';
    cursor_ = target;
    edited_ = true;
}

bool TimeField::Escape() {
    if (!edited_) return false;
    positions_ = focusPositions_;
    edited_ = false;
    SetCursor(0);
    return true;
}

void TimeField::FocusIn() {
    if (!reEnter_) focusPositions_ = positions_;
    reEnter_ = false;
}

bool TimeField::CheckOnExit() {
    if (!edited_) return true;
    for (const int required : {1, 3, 4}) {
        if (!IsDigit(positions_[required])) {
            SetCursor(required);
            reEnter_ = true;
            return false;
        }
    }
    return true;
}
