#pragma once
// Times as the Win32 file functions keep them: the FILETIME count and the MS-DOS date-time form,
// and the conversions between them through local time.

#include <compare>
#include <cstdint>
#include <optional>

namespace platform {

// A point in time as FILETIME counts it: 100-ns intervals since 1601-01-01 00:00 UTC.
struct FileTime {
    std::uint64_t ticks = 0;
    friend bool operator==(FileTime, FileTime) = default;
};

// The MS-DOS date-time form: local time, seconds in steps of two, years 1980 to 2107. Its
// fields hold their parts from the largest down, so comparing the date, then the time, as
// integers orders two values as the moments they stand for; times are decided that way, exactly,
// and never through a floating-point value, whose excess precision on the x87 unit (32-bit x86)
// makes equal times compare unequal.
struct DosDateTime {
    std::uint16_t date = 0;  // bits 15-9 year-1980, 8-5 month, 4-0 day
    std::uint16_t time = 0;  // bits 15-11 hour, 10-5 minute, 4-0 second/2
    friend auto operator<=>(DosDateTime, DosDateTime) = default;
};

// FileTimeToLocalFileTime + FileTimeToDosDateTime, and back (DosDateTimeToFileTime +
// LocalFileTimeToFileTime). Both fail outside 1980..2107.
std::optional<DosDateTime> ToDosDateTime(FileTime time);
std::optional<FileTime> FromDosDateTime(DosDateTime dos);

}  // namespace platform
