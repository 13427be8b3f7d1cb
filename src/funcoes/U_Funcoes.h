#pragma once
// General file and process routines. Neither throws: each says through its result what it did,
// and why not, in the system's words.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What a copy did. `copied`: the new copy stands in the destination's place, whole and with the
// source's time. `failure`: why nothing was copied; or, with `copied`, which of the source's
// permissions or attributes the copy could not be given. `sourceGone`: nothing was copied because
// the source was not there (gone since its folder was listed).
struct CopyResult {
    bool copied = false;
    std::optional<std::string> failure;
    bool sourceGone = false;
    explicit operator bool() const { return copied; }
};

// Copies `source` to `destination`, up to 64 KiB a read, and gives the copy the source's
// last-write time in the MS-DOS form (its own time when it has none), its attributes and, on
// POSIX, its permission bits. The copy is written beside the destination under
// TemporaryCopyName and takes the destination's place only when it is whole, stamped and closed,
// so an older copy stays as it was until then. A read-only, hidden or system destination is
// replaced when it is a copy of Duplora's own (its time is an MS-DOS time, as every copy is
// stamped): those attributes came from the server. Nothing is copied when the two paths name the
// same file, the destination is a folder or a read-only, hidden or system file of the standby
// machine's own, the source is not a regular file or cannot be opened, or the copy failed on the
// way, its time included (no temporary file is then left behind).
CopyResult CopyFileKeepingDate(const std::string& source, const std::string& destination);

// The same copy under a new name: written under TemporaryCopyName, stamped, on the disk (flushed)
// and closed, then renamed to `destination` by a rename that never replaces. So that name only
// ever holds a whole copy, whenever the process or the machine stops. When a file of that name is
// there already, it is left as it is and nothing is copied ("The file exists.").
CopyResult CopyToNewFile(const std::string& source, const std::string& destination);

// The path under which a copy of `destination` is written before it takes its place: a name of
// twelve characters in the same folder (never longer than a name of twelve or more, so a name as
// long as the file system takes still copies), derived from the destination's name, so that the
// next copy of that file finds the one that a copy cut off by the end of the process left
// behind, and replaces it.
std::string TemporaryCopyName(const std::string& destination);
// Whether a file name is such a temporary name, not a file of its own.
bool IsTemporaryCopyName(std::string_view name);

// Starts `fileName` with `parameters` appended right behind its closing quote, in the folder
// that holds it (the text up to its last "\", "/" or ":"), with `showWindow` for its first window,
// and waits for it to end. Its exit code (platform::RunProcessAndWait); nullopt when it could not
// be started, or when the file name holds a double quote, which would end the quoted name early.
std::optional<int> RunAndWait(const std::string& fileName, const std::string& parameters,
                              std::uint16_t showWindow);
