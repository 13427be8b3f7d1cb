// GetPrivateProfileStringA / WritePrivateProfileStringA themselves.

#include "platform/Profile.h"

#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {

std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& defaultValue, const std::string& fileName) {
    char buffer[2048];
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                 sizeof buffer, fileName.c_str());
    return std::string(buffer, length);
}

bool ProfileReadable(const std::string& fileName) {
    // Shared as GetPrivateProfileStringA shares it. A folder in the file's place does not open.
    const HANDLE file =
        CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD read = 0;
    BOOL readable;
    while ((readable = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) {
    }
    const LastErrorKept reason;
    CloseHandle(file);
    return readable != FALSE;
}

bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& fileName) {
    // Windows refuses to write a read-only file; Wine writes it when it runs as root. A name
    // without a folder lies in the Windows folder, where the check would look in the wrong place.
    if (fileName.find_first_of("\\/") != std::string::npos) {
        const DWORD attributes = GetFileAttributesA(fileName.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
    }
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      fileName.c_str()) != FALSE;
}

}  // namespace platform
