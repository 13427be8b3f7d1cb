// The last failure's text on POSIX: strerror's for a failed system call, the words Windows uses
// for the refusals that the backend or Duplora make themselves.

#include <cerrno>
#include <cstring>

#include "platform/SystemError.h"
#include "platform/posix/PosixInternal.h"

namespace platform {
namespace {
thread_local std::string lastError;
thread_local int lastErrno = 0;  // 0 for a refusal that is no system call's
}  // namespace

void posix::RememberError(std::string text) {
    lastError = std::move(text);
    lastErrno = 0;
}

void posix::RememberErrno() {
    lastErrno = errno;
    lastError = std::strerror(lastErrno);
}

std::string LastErrorText() { return lastError; }

bool LastErrorWasNotFound() { return lastErrno == ENOENT || lastErrno == ENOTDIR; }

std::string ErrorText(SystemError error) {
    switch (error) {
        case SystemError::kAccessDenied:
            return "Access is denied.";
        case SystemError::kSharingViolation:
            return "The process cannot access the file because it is being used by another "
                   "process.";
        case SystemError::kHandleEof:
            return "Reached the end of the file.";
        case SystemError::kFileExists:
            return "The file exists.";
        case SystemError::kInvalidName:
            return "The filename, directory name, or volume label syntax is incorrect.";
    }
    return "System error " + std::to_string(static_cast<std::uint32_t>(error));
}

void SetLastErrorCode(SystemError error) { posix::RememberError(ErrorText(error)); }

LastErrorKept::LastErrorKept() : code_(static_cast<std::uint32_t>(lastErrno)), text_(lastError) {}

LastErrorKept::~LastErrorKept() {
    lastError = std::move(text_);
    lastErrno = static_cast<int>(code_);
}

}  // namespace platform
