#pragma once
// The local date and time as the user's locale writes them.

#include <cstdint>
#include <string>

namespace platform {

// The local date and time of `unixTime` (seconds since 1970-01-01 UTC) as the user's locale
// writes them: the short date, a blank and the long time; the blank and the time are left out
// when the local time is 00:00:00 exactly. Windows: GetDateFormatA / GetTimeFormatA with
// LOCALE_USER_DEFAULT; POSIX: the environment's LC_TIME locale (LC_ALL, LC_TIME, LANG), "%x"
// and "%X". Empty when the time has no local form.
std::string UserDateTimeText(std::int64_t unixTime);

}  // namespace platform
