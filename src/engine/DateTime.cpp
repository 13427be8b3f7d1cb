#include "engine/DateTime.h"

#include <ctime>

#include "platform/UserDateTime.h"

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    const long days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

double DosDateTimeToValue(platform::DosDateTime dos) {
    return EncodeDateTime(1980 + (dos.date >> 9), (dos.date >> 5) & 0x0F, dos.date & 0x1F,
                          dos.time >> 11, (dos.time >> 5) & 0x3F, (dos.time & 0x1F) * 2);
}

std::string FormatGeneralDateTime(std::time_t time) {
    return platform::UserDateTimeText(static_cast<std::int64_t>(time));
}
