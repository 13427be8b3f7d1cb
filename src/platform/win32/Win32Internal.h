#pragma once
// Shared by the Win32 backend files only: the one place that includes <windows.h>.

#include <windows.h>

#include "FileTime.h"
#include "Files.h"

namespace platform::win32 {

inline FileTime FromFiletime(const FILETIME& t) {
    return FileTime{(static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime};
}

inline FILETIME ToFiletime(FileTime t) {
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(t.ticks & 0xFFFFFFFFu);
    result.dwHighDateTime = static_cast<DWORD>(t.ticks >> 32);
    return result;
}

inline HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace platform::win32
