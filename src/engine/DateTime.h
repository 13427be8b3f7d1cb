#pragma once
// The date-time value: days since 1899-12-30 00:00, the time of day as the fraction.

#include <ctime>
#include <string>

#include "platform/FileTime.h"

// 0100-01-01 00:00, below every real file time: the time of a missing file or a folder.
inline constexpr double kNoFileTime = -657434.0;

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
double DosDateTimeToValue(platform::DosDateTime dos);

// The local date and time in the user's short date and long time form, the time left out when
// it is exactly 00:00:00 (platform::UserDateTimeText).
std::string FormatGeneralDateTime(std::time_t time);
