// Appending to a text file: CreateFileA with FILE_APPEND_DATA, so that each write lands at the
// end of the file.

#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {

bool AppendToFile(const std::string& path, const std::string& text) {
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE &&
        written == text.size();
    const bool closed = CloseHandle(file) != FALSE;
    return ok && closed;
}

}  // namespace platform
