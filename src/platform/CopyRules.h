#pragma once
// What both backends' copies (FileCopy.h) decide alike, for the backends' own files only.

#include <cstdint>

#include "platform/FileCopy.h"
#include "platform/FileTime.h"
#include "platform/Files.h"

namespace platform::copyrules {

// A copy moves its bytes in chunks of this size: a source that grows while it is copied gives at
// most its measured size rounded up to whole chunks, what a copy in such chunks reads.
inline constexpr std::uint32_t kChunkSize = 2048;
inline constexpr std::uint64_t ChunkedSize(std::uint64_t size) {
    return (size + kChunkSize - 1) / kChunkSize * kChunkSize;
}
// A read asks for up to this much of a file smaller than kLargeRead, from a buffer on the stack...
inline constexpr std::uint32_t kSmallRead = 32 * kChunkSize;  // 64 KiB
// ... and for up to this much of a larger one, from a buffer kept by the thread.
inline constexpr std::uint32_t kLargeRead = 512 * kChunkSize;  // 1 MiB

// The attributes with which Windows refuses to replace a file by one of plain attributes.
inline constexpr std::uint32_t kProtectingAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem;

// The source's last-write time as a copy gets it: reduced to the MS-DOS form, so that the folder
// mirror's comparison, which reads times in that form, finds the two equal; a time that has no
// such form (before 1980, after 2107) as it is.
FileTime CopyTime(FileTime sourceTime);

// Whether a file's time is an MS-DOS time: it is then a copy that Duplora stamped, which the time
// of a file written by any other program practically never is (its seconds even, its fraction of
// a second zero).
bool IsMsDosTime(FileTime time);

// Whether a destination with `attributes` and `time` may not be replaced: a folder is no file to
// replace, and a read-only, hidden or system file is the standby machine's own unless it is a copy
// of Duplora's (its attributes then came from the server, and the server's newer version brings
// its own).
bool RefusesReplacement(std::uint32_t attributes, FileTime time);

// Results.
CopyOutcome Copied();
CopyOutcome NotCopied(CopyOutcome::Shortfall shortfall, std::string reason);

}  // namespace platform::copyrules
