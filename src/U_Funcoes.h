#pragma once
// General file and process routines. Both report only through their result and never throw.

#include <cstdint>
#include <string>

// Copies `source` to `destination` in 2048-byte chunks and stamps the copy with the source's
// last-write time in the MS-DOS form (while it is still open) and with the source's attributes
// (after it is closed). False when nothing usable was written: the two paths are the same
// byte string, the source cannot be opened, the destination cannot be created, or a read or
// write failed part-way; a copy cut short is removed, so it never looks up to date.
bool CopyFileKeepingDate(const std::string& source, const std::string& destination);

// Starts `fileName` with `parameters` appended right behind its closing quote, in the folder
// that holds it (the text up to its last "\", "/" or ":"), with `showWindow` for its first window,
// and waits for it to end. False when it could not be started. The exit code is not read.
bool RunAndWait(const std::string& fileName, const std::string& parameters,
                std::uint16_t showWindow);
