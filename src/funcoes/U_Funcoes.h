#pragma once
// General file and process routines. Both report only through their result and never throw;
// after a False result, platform::LastErrorText() tells why.

#include <cstdint>
#include <string>
#include <string_view>

// Copies `source` to `destination`, up to 64 KiB a read, and gives the copy the source's
// last-write time in the MS-DOS form, its attributes and, on POSIX, its permission bits. The
// copy is written beside the destination under TemporaryCopyName and takes the destination's
// place only when it is whole, stamped and closed, so an older copy stays as it was until then.
// False when nothing was copied: the two paths name the same file, the destination is
// read-only, hidden, system or a folder, the source is not a regular file or cannot be opened,
// or the copy failed on the way (no temporary file is then left behind).
bool CopyFileKeepingDate(const std::string& source, const std::string& destination);

// The name under which a copy of `destination` is written before it takes its place. A copy
// cut off by the end of the process leaves it behind, and the next copy of that file replaces it.
std::string TemporaryCopyName(const std::string& destination);
// Whether a file name is such a temporary name, not a file of its own.
bool IsTemporaryCopyName(std::string_view name);

// Starts `fileName` with `parameters` appended right behind its closing quote, in the folder
// that holds it (the text up to its last "\", "/" or ":"), with `showWindow` for its first window,
// and waits for it to end. False when it could not be started, or when the file name holds a
// double quote, which would end the quoted name early. The exit code is not read.
bool RunAndWait(const std::string& fileName, const std::string& parameters,
                std::uint16_t showWindow);
