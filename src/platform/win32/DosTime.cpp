// FILETIME <-> MS-DOS date-time through the local time zone: FileTimeToLocalFileTime +
// FileTimeToDosDateTime, and DosDateTimeToFileTime + LocalFileTimeToFileTime.

#include "platform/win32/Win32Internal.h"

namespace platform {

std::optional<DosDateTime> ToDosDateTime(FileTime time) {
    const FILETIME utc = win32::ToFiletime(time);
    FILETIME local;
    if (!FileTimeToLocalFileTime(&utc, &local)) return std::nullopt;
    // The MS-DOS form has seven bits for the year; Wine would let a year past 2107 wrap.
    SYSTEMTIME fields;
    if (!FileTimeToSystemTime(&local, &fields) || fields.wYear < 1980 || fields.wYear > 2107)
        return std::nullopt;
    WORD date = 0;
    WORD dosTime = 0;
    if (!FileTimeToDosDateTime(&local, &date, &dosTime)) return std::nullopt;
    return DosDateTime{date, dosTime};
}

std::optional<FileTime> FromDosDateTime(DosDateTime dos) {
    FILETIME local;
    if (!DosDateTimeToFileTime(dos.date, dos.time, &local)) return std::nullopt;
    FILETIME utc;
    if (!LocalFileTimeToFileTime(&local, &utc)) return std::nullopt;
    return win32::FromFiletime(utc);
}

}  // namespace platform
