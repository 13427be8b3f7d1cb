#include "controls/TimeText.h"

#include "common/Clock.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Blanks and control characters at both ends dropped.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

void SkipBlanks(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
}

// One or more digits; a number too long for any hour or minute reads as out of range.
std::optional<int> ScanNumber(std::string_view& text) {
    SkipBlanks(text);
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    int value = 0;
    while (!text.empty() && IsDigit(text.front())) {
        if (value < 1000) value = value * 10 + (text.front() - '0');
        text.remove_prefix(1);
    }
    return value;
}

}  // namespace

TimeOfDay LocalTimeOfDay(std::time_t moment) {
    const std::tm local = ToLocalTime(moment);
    return TimeOfDay{local.tm_hour, local.tm_min};
}

std::string ClockText(TimeOfDay time) {
    std::string text = "00:00";
    text[0] = static_cast<char>('0' + time.hour / 10);
    text[1] = static_cast<char>('0' + time.hour % 10);
    text[2] = kTimeSeparator;
    text[3] = static_cast<char>('0' + time.minute / 10);
    text[4] = static_cast<char>('0' + time.minute % 10);
    return text;
}

std::optional<TimeOfDay> TextToTime(std::string_view text) {
    const auto hour = ScanNumber(text);
    if (!hour) return std::nullopt;
    SkipBlanks(text);
    if (text.empty() || text.front() != kTimeSeparator) return std::nullopt;
    text.remove_prefix(1);
    const auto minute = ScanNumber(text);
    if (!minute) return std::nullopt;
    SkipBlanks(text);
    if (!text.empty() || *hour > 23 || *minute > 59) return std::nullopt;
    return TimeOfDay{*hour, *minute};
}

bool IsScheduleText(std::string_view fieldText) {
    return Trimmed(fieldText).empty() || fieldText == kEmptyTimeText || TextToTime(fieldText);
}

std::string AsClockText(std::string fieldText) {
    if (fieldText.size() == 5 && fieldText[0] == ' ' && IsDigit(fieldText[1])) fieldText[0] = '0';
    return fieldText;
}
