#pragma once
// Shared by the Win32 backend files only: the one place that includes <windows.h>.

#include <windows.h>

#include <string>

#include "platform/FileTime.h"
#include "platform/Files.h"

namespace platform {

// A folder held open is its path: each call appends a name to it.
struct Folder::Impl {
    std::string path;  // ends with "\\"
    bool open = false;
    // Why it is not open (the system's words), and whether because it is not there.
    std::string whyNot;
    bool notFound = false;
    mutable std::string entryPath;  // path + a name, rewritten for every look-up

    void Check();
};

// What an open folder holds, for the backend's own files.
struct FolderAccess {
    using Impl = Folder::Impl;
    static Impl& Of(const Folder& folder) { return *folder.impl_; }
};

}  // namespace platform

namespace platform::win32 {

// The system's text for an error code (FormatMessageA), without its line end.
std::string ErrorText(DWORD error);

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
