#pragma once
// Why the last call of the platform layer failed, in the system's words, and the few refusals
// Duplora makes itself in those words.

#include <cstdint>
#include <string>

namespace platform {

// The system's text for the last failure of a call of the platform layer (library loading
// included).
std::string LastErrorText();

// The few Win32 error codes that Duplora sets itself (SetLastError) when it refuses something,
// so that LastErrorText() tells the refusal in the system's words.
enum class SystemError : std::uint32_t {
    kAccessDenied = 5,       // ERROR_ACCESS_DENIED
    kSharingViolation = 32,  // ERROR_SHARING_VIOLATION
    kHandleEof = 38,         // ERROR_HANDLE_EOF
    kFileExists = 80,        // ERROR_FILE_EXISTS
    kInvalidName = 123,      // ERROR_INVALID_NAME
};
void SetLastErrorCode(SystemError error);
std::string ErrorText(SystemError error);

// Whether the last failure was that the file, or a folder on its path, is not there
// (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND; ENOENT, ENOTDIR).
bool LastErrorWasNotFound();

// Keeps the last failure (LastErrorText) across the clean-up calls that follow it.
class LastErrorKept {
public:
    LastErrorKept();
    ~LastErrorKept();
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;

private:
    std::uint32_t code_;  // Windows's error code; POSIX's errno
    std::string text_;    // POSIX
};

}  // namespace platform
