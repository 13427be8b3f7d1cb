#include <cerrno>
#include <cstring>

#include "PosixInternal.h"
#include "platform/Platform.h"

namespace platform {
namespace {
thread_local std::string lastError;
}

void posix::RememberError(std::string text) { lastError = std::move(text); }

void posix::RememberErrno() { lastError = std::strerror(errno); }

std::string LastErrorText() { return lastError; }

}  // namespace platform
