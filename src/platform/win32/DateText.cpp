// The user's date and time through the system's locale functions.

#include "platform/UserDateTime.h"
#include "platform/win32/Win32Internal.h"

namespace platform {

std::string UserDateTimeText(std::int64_t unixTime) {
    constexpr std::int64_t kUnixEpochIn1601Seconds = 11644473600LL;
    const FILETIME utc = win32::ToFiletime(
        FileTime{static_cast<std::uint64_t>(unixTime + kUnixEpochIn1601Seconds) * 10000000ULL});
    FILETIME local;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) return {};
    char date[128];
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &fields, nullptr, date, sizeof date))
        return {};
    std::string text = date;
    if (fields.wHour != 0 || fields.wMinute != 0 || fields.wSecond != 0) {
        char time[128];
        if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &fields, nullptr, time, sizeof time))
            text += std::string(" ") + time;
    }
    return text;
}

}  // namespace platform
