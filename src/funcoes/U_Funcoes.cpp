#include "U_Funcoes.h"

#include <algorithm>
#include <cstdio>

#include "FileTime.h"
#include "Files.h"
#include "Process.h"
#include "SystemError.h"

namespace {

// Reads go up to kReadLimit bytes at a time, a whole number of kChunkSize chunks.
constexpr std::uint32_t kChunkSize = 2048;
constexpr std::uint32_t kReadLimit = 32 * kChunkSize;  // 64 KiB

// A temporary name: the prefix and eight hexadecimal digits.
constexpr std::string_view kTemporaryPrefix = "~dup";
constexpr std::size_t kTemporaryNameLength = kTemporaryPrefix.size() + 8;

// What a copy could not be given, before the system's reason.
constexpr std::string_view kTimeNotSet = "a cópia não recebeu a data do servidor e não foi usada: ";
constexpr std::string_view kPermissionsNotSet = "a cópia não recebeu as permissões do servidor: ";
constexpr std::string_view kAttributesNotSet = "a cópia não recebeu os atributos do servidor: ";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Nothing copied, and why: `what` failed, for the system's reason.
CopyResult NotCopied(std::string_view what = {}) {
    return {false, std::string(what) + platform::LastErrorText()};
}

// Whether `path` is a copy that Duplora stamped: its time is an MS-DOS time, which the time of a
// file written by any program but a copy of that kind practically never is.
bool HasMsDosTime(const std::string& path) {
    const platform::DirectorySearch search(path);
    const platform::FindData* entry = search.Found() ? search.Entry() : nullptr;
    if (!entry) return false;
    const auto dos = platform::ToDosDateTime(entry->lastWriteTime);
    const auto back = dos ? platform::FromDosDateTime(*dos) : std::nullopt;
    return back && *back == entry->lastWriteTime;
}

// The attributes with which Windows refuses to replace a file by one of plain attributes.
constexpr std::uint32_t kProtectingAttributes =
    platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem;

// A folder is no file to replace, and a read-only, hidden or system file is the standby machine's
// own unless it is a copy of Duplora's: its attributes then came from the server, and the server's
// newer version brings its own. `attributes` are the destination's.
bool RefusesReplacement(const std::string& destination, std::uint32_t attributes) {
    if (attributes == platform::kInvalidAttributes) return false;
    if (attributes & platform::kAttrDirectory) return true;
    return (attributes & kProtectingAttributes) && !HasMsDosTime(destination);
}

// Gives the open destination the source's last-write time, reduced to the MS-DOS form so that
// the folder mirror's comparison, which reads times in that form, finds the two equal; a time
// that has no such form (before 1980, after 2107) is given as it is. False when the time could
// not be read or set.
bool StampWithSourceTime(platform::FileHandle source, platform::FileHandle destination) {
    platform::FileTime time;
    if (!platform::LastWriteTime(source, time)) return false;
    const auto dos = platform::ToDosDateTime(time);
    const auto reduced = dos ? platform::FromDosDateTime(*dos) : std::nullopt;
    return platform::StampLastWriteTime(destination, reduced.value_or(time));
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

// How a whole copy takes its name: in place of the destination, or only where no file has it.
enum class Placing { kReplacing, kAsNewFile };

// Writes the copy of the open source under `temporary`: whole, stamped, with the source's
// permission bits when they can be given, on the disk when it is to be a new file (it is the
// database folder's copy), and closed. A copy that failed on the way is removed.
CopyResult WriteTemporaryCopy(platform::FileHandle in, std::uint64_t size,
                              const std::string& temporary, Placing placing) {
    // A copy cut off by the end of the process left this name behind; it is replaced.
    platform::RemoveFile(temporary);
    const platform::FileHandle out = platform::CreateNewFile(temporary);
    if (out == platform::kInvalidFile) return NotCopied();
    CopyResult result{true, std::nullopt};
    if (!CopyContent(in, out, size))
        result = NotCopied();
    else if (!StampWithSourceTime(in, out))
        result = NotCopied(kTimeNotSet);
    else if (!platform::CarryPermissions(in, out))
        result.failure = std::string(kPermissionsNotSet) + platform::LastErrorText();
    if (result.copied && placing == Placing::kAsNewFile && !platform::FlushFile(out))
        result = NotCopied();
    if (!platform::CloseFile(out) && result.copied) result = NotCopied();
    if (!result.copied) platform::RemoveFile(temporary);
    return result;
}

// Renames the whole copy over `destination`, whose attributes are `attributes`. Windows renames
// nothing over a read-only file, nor, by every rule of its own, over a hidden or system one: a
// copy of Duplora's own with those attributes loses them just before, and gets them back when the
// rename fails.
bool PutInPlace(const std::string& temporary, const std::string& destination,
                std::uint32_t attributes) {
    const bool protectedFile =
        attributes != platform::kInvalidAttributes && (attributes & kProtectingAttributes);
    const std::uint32_t plain = attributes & ~kProtectingAttributes;
    if (protectedFile &&
        !platform::SetAttributes(destination, plain ? plain : platform::kAttrNormal))
        return false;
    if (platform::RenameReplacing(temporary, destination)) return true;
    const platform::LastErrorKept reason;
    if (protectedFile) platform::SetAttributes(destination, attributes);
    return false;
}

// Puts a whole copy of the open source in the place of `destination` (whose attributes are
// `attributes`), or leaves it as it was. The source may be neither: not the destination under
// another name, nor the temporary file, which the copy would remove first.
CopyResult PlaceCopy(platform::FileHandle in, const std::string& destination,
                     std::uint32_t attributes, Placing placing) {
    const std::string temporary = TemporaryCopyName(destination);
    if (platform::IsSameFile(in, destination) || platform::IsSameFile(in, temporary)) {
        platform::SetLastErrorCode(platform::SystemError::kSharingViolation);
        return NotCopied();
    }
    std::uint64_t size = 0;
    if (!platform::FileSize(in, size)) return NotCopied();
    CopyResult result = WriteTemporaryCopy(in, size, temporary, placing);
    const bool placed = !result.copied || (placing == Placing::kReplacing
                                               ? PutInPlace(temporary, destination, attributes)
                                               : platform::RenameFile(temporary, destination));
    if (!placed) {
        result = NotCopied();
        platform::RemoveFile(temporary);
    }
    return result;
}

// Copies `source` to `destination` through a temporary copy beside it, placed as `placing` says,
// and gives it the source's attributes.
CopyResult CopyThroughTemporary(const std::string& source, const std::string& destination,
                                Placing placing) {
    if (source == destination) {
        platform::SetLastErrorCode(platform::SystemError::kSharingViolation);
        return NotCopied();
    }
    const std::uint32_t existing = platform::GetAttributes(destination);
    if (placing == Placing::kAsNewFile && existing != platform::kInvalidAttributes) {
        platform::SetLastErrorCode(platform::SystemError::kFileExists);
        return NotCopied();
    }
    if (placing == Placing::kReplacing && RefusesReplacement(destination, existing)) {
        platform::SetLastErrorCode(platform::SystemError::kAccessDenied);
        return NotCopied();
    }
    const platform::FileHandle in = platform::OpenForReading(source);
    if (in == platform::kInvalidFile) {
        CopyResult gone = NotCopied();
        gone.sourceGone = platform::LastErrorWasNotFound();
        return gone;
    }
    CopyResult result = PlaceCopy(in, destination, existing, placing);
    if (result.copied) {
        const std::uint32_t attributes = platform::GetAttributes(source);
        if ((attributes == platform::kInvalidAttributes ||
             !platform::SetAttributes(destination, attributes)) &&
            !result.failure)
            result.failure = std::string(kAttributesNotSet) + platform::LastErrorText();
    }
    platform::CloseFile(in);
    return result;
}

}  // namespace

// The name's hash is FNV-1a over its bytes, ASCII letters in lower case as Windows matches names.
std::string TemporaryCopyName(const std::string& destination) {
    const std::size_t nameStart = destination.find_last_of("\\/:") + 1;  // npos + 1 is 0
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = nameStart; i < destination.size(); ++i) {
        hash ^= static_cast<unsigned char>(LowerAscii(destination[i]));
        hash *= 16777619u;
    }
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(hash));
    return destination.substr(0, nameStart) + std::string(kTemporaryPrefix) + digits;
}

bool IsTemporaryCopyName(std::string_view name) {
    if (name.size() != kTemporaryNameLength) return false;
    for (std::size_t i = 0; i < kTemporaryPrefix.size(); ++i)
        if (LowerAscii(name[i]) != kTemporaryPrefix[i]) return false;
    return std::all_of(name.begin() + kTemporaryPrefix.size(), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f');
    });
}

CopyResult CopyFileKeepingDate(const std::string& source, const std::string& destination) {
    return CopyThroughTemporary(source, destination, Placing::kReplacing);
}

CopyResult CopyToNewFile(const std::string& source, const std::string& destination) {
    return CopyThroughTemporary(source, destination, Placing::kAsNewFile);
}

std::optional<int> RunAndWait(const std::string& fileName, const std::string& parameters,
                              std::uint16_t showWindow) {
    // The file name is written between double quotes: one inside it would end it early and
    // start whatever its first part names.
    if (fileName.find('"') != std::string::npos) {
        platform::SetLastErrorCode(platform::SystemError::kInvalidName);
        return std::nullopt;
    }
    const std::string commandLine = "\"" + fileName + "\"" + parameters;
    const std::size_t separator = fileName.find_last_of("\\/:");
    const std::string workingFolder =
        separator == std::string::npos ? std::string() : fileName.substr(0, separator + 1);
    return platform::RunProcessAndWait(commandLine, workingFolder, showWindow);
}
