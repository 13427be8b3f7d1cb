// The system's text for the last failure (FormatMessageA), and the codes Duplora sets itself.

#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {

std::string win32::ErrorText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length && text ? std::string(text, length) : std::string();
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
    if (result.empty()) result = "System error " + std::to_string(error);
    return result;
}

std::string LastErrorText() { return win32::ErrorText(GetLastError()); }

std::string ErrorText(SystemError error) { return win32::ErrorText(static_cast<DWORD>(error)); }

void SetLastErrorCode(SystemError error) { ::SetLastError(static_cast<DWORD>(error)); }

bool LastErrorWasNotFound() {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

LastErrorKept::LastErrorKept() : code_(GetLastError()) {}

LastErrorKept::~LastErrorKept() { ::SetLastError(code_); }

}  // namespace platform
