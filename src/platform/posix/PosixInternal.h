#pragma once
// Shared by the POSIX backend files only.

#include <string>

namespace platform::posix {

// Records the text LastErrorText() gives for the failure at hand.
void RememberError(std::string text);
// The same, from errno.
void RememberErrno();

}  // namespace platform::posix
