// The last failure's text on POSIX: strerror's for a failed system call, the words Windows uses
// for the refusals that the backend or Duplora make themselves.

#include <cerrno>
#include <cstring>

#include "PosixInternal.h"
#include "SystemError.h"

namespace platform {
namespace {
thread_local std::string lastError;
}

void posix::RememberError(std::string text) { lastError = std::move(text); }

void posix::RememberErrno() { lastError = std::strerror(errno); }

std::string LastErrorText() { return lastError; }

std::string ErrorText(SystemError error) {
    switch (error) {
        case SystemError::kAccessDenied:
            return "Access is denied.";
        case SystemError::kSharingViolation:
            return "The process cannot access the file because it is being used by another "
                   "process.";
        case SystemError::kHandleEof:
            return "Reached the end of the file.";
        case SystemError::kInvalidName:
            return "The filename, directory name, or volume label syntax is incorrect.";
    }
    return "System error " + std::to_string(static_cast<std::uint32_t>(error));
}

void SetLastErrorCode(SystemError error) { lastError = ErrorText(error); }

LastErrorKept::LastErrorKept() : code_(0), text_(lastError) {}

LastErrorKept::~LastErrorKept() { lastError = std::move(text_); }

}  // namespace platform
