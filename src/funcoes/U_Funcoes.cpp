#include "U_Funcoes.h"

#include <algorithm>

#include "Platform.h"

namespace {

// Reads go up to kReadLimit bytes at a time, a whole number of kChunkSize chunks.
constexpr std::uint32_t kChunkSize = 2048;
constexpr std::uint32_t kReadLimit = 32 * kChunkSize;  // 64 KiB
constexpr std::string_view kTemporaryCopySuffix = ".~duplora";

// Windows refuses to replace a read-only, hidden or system file with a file of plain attributes,
// and a folder is no file to replace.
bool RefusesReplacement(const std::string& destination) {
    constexpr std::uint32_t kProtected = platform::kAttrReadOnly | platform::kAttrHidden |
                                         platform::kAttrSystem | platform::kAttrDirectory;
    const std::uint32_t attributes = platform::GetAttributes(destination);
    return attributes != platform::kInvalidAttributes && (attributes & kProtected);
}

// Gives the open destination the source's last-write time, reduced to the MS-DOS form so that
// the folder mirror's comparison, which reads times in that form, finds the two equal.
void StampWithSourceTime(platform::FileHandle source, platform::FileHandle destination) {
    platform::FileTime time;
    if (!platform::LastWriteTime(source, time)) return;
    const auto dos = platform::ToDosDateTime(time);
    if (!dos) return;
    if (const auto stamped = platform::FromDosDateTime(*dos))
        platform::StampLastWriteTime(destination, *stamped);
}

// Moves the measured `size` bytes, up to kReadLimit at a time. A source that grows meanwhile
// gives at most `size` rounded up to whole kChunkSize chunks, what a copy in such chunks would
// have read: no read asks for more than what is left of that. False, with the system's reason,
// when a read or a write fails or the source ends early.
bool CopyContent(platform::FileHandle in, platform::FileHandle out, std::uint64_t size) {
    char buffer[kReadLimit];
    const std::uint64_t chunked = (size + kChunkSize - 1) / kChunkSize * kChunkSize;
    for (std::uint64_t copied = 0; copied < size;) {
        const auto wanted =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kReadLimit, chunked - copied));
        std::uint32_t read = 0;
        if (!platform::ReadChunk(in, buffer, wanted, read)) return false;
        if (read == 0) {
            platform::SetLastErrorCode(platform::SystemError::kHandleEof);
            return false;
        }
        if (!platform::WriteChunk(out, buffer, read)) return false;
        copied += read;
    }
    return true;
}

// Writes the copy of the open source under `temporary`: whole, stamped, with the source's
// permission bits, and closed. A copy that failed on the way is removed.
bool WriteTemporaryCopy(platform::FileHandle in, std::uint64_t size, const std::string& temporary) {
    // A copy cut off by the end of the process left this name behind; it is replaced.
    platform::RemoveFile(temporary);
    const platform::FileHandle out = platform::CreateNewFile(temporary);
    if (out == platform::kInvalidFile) return false;
    bool complete = CopyContent(in, out, size);
    if (complete) {
        StampWithSourceTime(in, out);
        platform::CarryPermissions(in, out);
    }
    complete = platform::CloseFile(out) && complete;
    if (!complete) {
        const platform::LastErrorKept reason;
        platform::RemoveFile(temporary);
    }
    return complete;
}

// Puts a whole copy of the open source in the place of `destination`, or leaves it as it was.
// The source may be neither: not the destination under another name, nor the temporary file,
// which the copy would remove first.
bool ReplaceWithCopy(platform::FileHandle in, const std::string& destination) {
    const std::string temporary = TemporaryCopyName(destination);
    if (platform::IsSameFile(in, destination) || platform::IsSameFile(in, temporary)) {
        platform::SetLastErrorCode(platform::SystemError::kSharingViolation);
        return false;
    }
    std::uint64_t size = 0;
    if (!platform::FileSize(in, size)) return false;
    if (!WriteTemporaryCopy(in, size, temporary)) return false;
    if (platform::RenameReplacing(temporary, destination)) return true;
    const platform::LastErrorKept reason;
    platform::RemoveFile(temporary);
    return false;
}

}  // namespace

std::string TemporaryCopyName(const std::string& destination) {
    return destination + std::string(kTemporaryCopySuffix);
}

bool IsTemporaryCopyName(std::string_view name) { return name.ends_with(kTemporaryCopySuffix); }

bool CopyFileKeepingDate(const std::string& source, const std::string& destination) {
    if (source == destination) {
        platform::SetLastErrorCode(platform::SystemError::kSharingViolation);
        return false;
    }
    if (RefusesReplacement(destination)) {
        platform::SetLastErrorCode(platform::SystemError::kAccessDenied);
        return false;
    }
    const platform::FileHandle in = platform::OpenForReading(source);
    if (in == platform::kInvalidFile) return false;
    const bool copied = ReplaceWithCopy(in, destination);
    if (copied) {
        if (const std::uint32_t attributes = platform::GetAttributes(source);
            attributes != platform::kInvalidAttributes)
            platform::SetAttributes(destination, attributes);
    }
    const platform::LastErrorKept reason;
    platform::CloseFile(in);
    return copied;
}

bool RunAndWait(const std::string& fileName, const std::string& parameters,
                std::uint16_t showWindow) {
    // The file name is written between double quotes: one inside it would end it early and
    // start whatever its first part names.
    if (fileName.find('"') != std::string::npos) {
        platform::SetLastErrorCode(platform::SystemError::kInvalidName);
        return false;
    }
    const std::string commandLine = "\"" + fileName + "\"" + parameters;
    const std::size_t separator = fileName.find_last_of("\\/:");
    const std::string workingFolder =
        separator == std::string::npos ? std::string() : fileName.substr(0, separator + 1);
    return platform::RunProcessAndWait(commandLine, workingFolder, showWindow);
}
