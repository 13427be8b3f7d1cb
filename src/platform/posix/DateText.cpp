// The user's date and time in the environment's locale, whatever the process's own locale is.

#include <locale.h>

#include <ctime>

#include "platform/UserDateTime.h"

namespace platform {

std::string UserDateTimeText(std::int64_t unixTime) {
    const time_t seconds = static_cast<time_t>(unixTime);
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return {};
    // The environment's LC_TIME, read afresh; the C locale when it names none that exists.
    locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (!locale) locale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    char text[256];
    std::size_t length = strftime_l(text, sizeof text, "%x", &local, locale);
    if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0)
        length += strftime_l(text + length, sizeof text - length, " %X", &local, locale);
    freelocale(locale);
    return std::string(text, length);
}

}  // namespace platform
