#pragma once
// One copy at the level of the task: a file of an open source folder brought up to date in an
// open destination folder, whole or not at all. Each backend does it in its own system's calls
// (POSIX: relative to the folders' descriptors, copy_file_range where the file systems take it;
// Windows: the folder's path and the name, as the API takes them); the rules they share are in
// CopyRules.h.
//
// The copy is written beside its place under TemporaryCopyName, stamped with the source's time in
// the MS-DOS form, given the source's permission bits (POSIX) and closed, and only then renamed
// into place, so an older copy stays as it was until the new one is whole. A failure on the way
// leaves no temporary file behind. Why a copy failed comes back in its result.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace platform {

// How a whole copy takes its name.
enum class CopyRoute : std::uint8_t {
    // In place of the destination's file, when there is one (MoveFileExA with
    // MOVEFILE_REPLACE_EXISTING). A folder, or a read-only, hidden or system file of the standby
    // machine's own, is not replaced ("Access is denied."); one that is a copy of Duplora's own
    // (its time is an MS-DOS time, as every copy is stamped) is: those attributes came from the
    // server.
    kReplacing,
    // Under a name that no file has, never replacing one ("The file exists." when there is one),
    // and flushed to the disk before it takes that name: the database folder's new copies, whose
    // name must only ever hold a whole copy, whenever the process or the machine stops.
    kAsNewFile,
};

// What one copy did. `copied`: the whole copy stands under its name with the source's time.
// `shortfall` says what went wrong and `reason` why, in the system's words.
struct CopyOutcome {
    enum class Shortfall : std::uint8_t {
        kNone,
        kNotCopied,    // nothing copied
        kSourceGone,   // nothing copied: the source is not there (gone since it was listed)
        kTime,         // nothing copied: the copy could not be given the source's time
        kPermissions,  // copied, without the source's permission bits (POSIX)
        kAttributes,   // copied, without the source's attributes (Windows)
    };
    bool copied = false;
    Shortfall shortfall = Shortfall::kNone;
    std::string reason;
};

// Copies the file `name` of `source` to `destinationName` in `destination` by `route`, as above.
// Nothing is copied when the source is not a regular file (a named pipe is refused without
// waiting for a writer), when it is the destination's file or its temporary file under another
// name, or when either folder is not open (its reason). A source that grows while it is copied
// gives at most its measured size rounded up to whole 2048-byte chunks.
CopyOutcome CopyIntoFolder(const Folder& source, const std::string& name, const Folder& destination,
                           const std::string& destinationName, CopyRoute route);

// The name under which a copy of `destination` (a name, or a path whose last part is the name) is
// written before it takes its place, in the same folder: "~dup" and eight hexadecimal digits of a
// hash of the name, twelve characters, never longer than a name of twelve or more (so a name as
// long as the file system takes still copies), and derived from the name, so that the next copy
// of that file finds the one that a copy cut off by the end of the process left behind, and
// replaces it. Given a path, the path of that name.
std::string TemporaryCopyName(const std::string& destination);
// Whether a file name is such a temporary name, not a file of its own.
bool IsTemporaryCopyName(std::string_view name);

}  // namespace platform
