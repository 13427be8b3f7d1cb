// GetPrivateProfileStringA / WritePrivateProfileStringA themselves.

#include "Win32Internal.h"

namespace platform {

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& fileName) {
    char buffer[2048];
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                 sizeof buffer, fileName.c_str());
    return std::string(buffer, length);
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& fileName) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      fileName.c_str()) != FALSE;
}

}  // namespace platform
