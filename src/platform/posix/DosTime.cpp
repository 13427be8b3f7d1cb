// FILETIME <-> MS-DOS date-time through the local time zone, as FileTimeToLocalFileTime +
// FileTimeToDosDateTime do (and back); years outside 1980..2107 have no MS-DOS form.

#include <ctime>

#include "platform/FileTime.h"

namespace platform {
namespace {
constexpr std::int64_t kUnixEpochIn1601Seconds = 11644473600LL;
}

std::optional<DosDateTime> ToDosDateTime(FileTime time) {
    const time_t seconds = static_cast<time_t>(static_cast<std::int64_t>(time.ticks / 10000000ULL) -
                                               kUnixEpochIn1601Seconds);
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return std::nullopt;
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) return std::nullopt;
    DosDateTime dos;
    dos.date = static_cast<std::uint16_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) |
                                          local.tm_mday);
    dos.time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                          (local.tm_sec / 2));
    return dos;
}

std::optional<FileTime> FromDosDateTime(DosDateTime dos) {
    std::tm local{};
    local.tm_year = 1980 + (dos.date >> 9) - 1900;
    local.tm_mon = ((dos.date >> 5) & 0x0F) - 1;
    local.tm_mday = dos.date & 0x1F;
    local.tm_hour = dos.time >> 11;
    local.tm_min = (dos.time >> 5) & 0x3F;
    local.tm_sec = (dos.time & 0x1F) * 2;
    local.tm_isdst = -1;
    if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_hour > 23 ||
        local.tm_min > 59 || local.tm_sec > 59)
        return std::nullopt;
    const time_t seconds = mktime(&local);
    if (seconds == static_cast<time_t>(-1)) return std::nullopt;
    return FileTime{
        static_cast<std::uint64_t>(static_cast<std::int64_t>(seconds) + kUnixEpochIn1601Seconds) *
        10000000ULL};
}

}  // namespace platform
