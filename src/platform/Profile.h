#pragma once
// Private-profile (INI) files with the rules of GetPrivateProfileStringA and
// WritePrivateProfileStringA; on POSIX a reader and writer of the same rules
// (docs/platform-on-posix.md).

#include <string>

namespace platform {

// GetPrivateProfileStringA (a buffer of 2048 characters) / WritePrivateProfileStringA.
std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& defaultValue, const std::string& fileName);
bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& fileName);
// Whether the content of an existing settings file can be read: ReadProfileText gives the
// defaults for a file it may not read as for a missing one. After false, LastErrorText() says
// why (a folder in the file's place, no permission, a read error).
bool ProfileReadable(const std::string& fileName);

}  // namespace platform
