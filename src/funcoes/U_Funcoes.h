#pragma once
// General file and process routines. Neither throws: each says through its result what it did,
// and why not, in the system's words.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileCopy.h"
#include "platform/Files.h"

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

// Copies the file `name` of the open folder `source` to `destinationName` in the open folder
// `destination` by `route` (platform::CopyIntoFolder, FileCopy.h: whole or not at all, through a
// temporary copy beside it, stamped with the source's time in the MS-DOS form, with its
// attributes and, on POSIX, its permission bits), and says in Duplora's words what became of it.
CopyResult CopyFileInto(const platform::Folder& source, const std::string& name,
                        const platform::Folder& destination, const std::string& destinationName,
                        platform::CopyRoute route);

// The same copy between two paths, in place of the destination: copies `source` to
// `destination` and gives the copy the source's last-write time in the MS-DOS form (its own time
// when it has none), its attributes and, on POSIX, its permission bits. The copy is written beside
// the destination under TemporaryCopyName and takes the destination's place only when it is
// whole, stamped and closed, so an older copy stays as it was until then. A read-only, hidden or
// system destination is replaced when it is a copy of Duplora's own (its time is an MS-DOS time,
// as every copy is stamped): those attributes came from the server. Nothing is copied when the two
// paths name the same file, the destination is a folder or a read-only, hidden or system file of
// the standby machine's own, the source is not a regular file or cannot be opened, or the copy
// failed on the way, its time included (no temporary file is then left behind).
CopyResult CopyFileKeepingDate(const std::string& source, const std::string& destination);

// The temporary names of the copies (FileCopy.h).
using platform::IsTemporaryCopyName;
using platform::TemporaryCopyName;

// Starts `fileName` with `parameters` appended right behind its closing quote, in the folder
// that holds it (the text up to its last "\", "/" or ":"), with `showWindow` for its first window,
// and waits for it to end. Its exit code (platform::RunProcessAndWait); nullopt when it could not
// be started, or when the file name holds a double quote, which would end the quoted name early.
std::optional<int> RunAndWait(const std::string& fileName, const std::string& parameters,
                              std::uint16_t showWindow);
