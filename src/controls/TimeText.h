#pragma once
// The time of day as the schedule writes and reads it: hours, the time separator, minutes.
//
// The separator is ":" on every system. The time field's text holds it, the settings file
// stores that text, and the clock's text must equal it byte for byte; one fixed separator keeps
// the three in step whatever the user's regional settings say, and keeps a settings file valid
// when it moves to another machine.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

inline constexpr char kTimeSeparator = ':';
// The text of the empty time field: two blanks, the separator, two blanks.
inline constexpr std::string_view kEmptyTimeText = "  :  ";

struct TimeOfDay {
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    friend bool operator==(TimeOfDay, TimeOfDay) = default;
};

// The local hour and minute of a moment.
TimeOfDay LocalTimeOfDay(std::time_t moment);

// The clock's text "hh:mm": two-digit hour and minute, each with a leading zero.
std::string ClockText(TimeOfDay time);

// Converts a typed time. Blanks are skipped before each number, before the separator and at
// the end; the hours and the minutes are one or more digits each, joined by the separator; the
// hours must be 0 to 23, the minutes 0 to 59, and nothing but blanks may follow the minutes.
// Nothing when the text breaks a rule.
std::optional<TimeOfDay> TextToTime(std::string_view text);

// Whether the schedule takes the time field's text: blank, or a time TextToTime reads.
bool IsScheduleText(std::string_view fieldText);
// The time field's text as the clock writes the same time: a blank before a one-digit hour
// (" 7:30") reads as its leading zero ("07:30"); any other text stays as it is.
std::string AsClockText(std::string fieldText);
