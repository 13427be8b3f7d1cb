// A copy between two open folders on Windows: the folder's path and the name, as the API takes
// them. The source is described once by its open handle (GetFileInformationByHandle: size,
// time, attributes, and its volume and index for telling the same file under another name).
//
// A new copy (the destination missing) costs: the destination's attributes, the source opened,
// its type and description, the temporary name removed, the temporary file created, the bytes
// (ReadFile and WriteFile, up to 1 MiB a time for large files), its time, close, rename, the
// attributes, and the source's close.

#include "platform/FileCopy.h"

#include <algorithm>
#include <memory>

#include "platform/CopyRules.h"
#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {
namespace {

using copyrules::NotCopied;
using Shortfall = CopyOutcome::Shortfall;

CopyOutcome Failed(Shortfall shortfall = Shortfall::kNotCopied) {
    return NotCopied(shortfall, win32::ErrorText(GetLastError()));
}

CopyOutcome Refused(SystemError error) {
    return NotCopied(Shortfall::kNotCopied, ErrorText(error));
}

// The last-write time of the file `path`, as its folder's listing has it.
bool ListedTime(const std::string& path, FileTime& time) {
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    time = win32::FromFiletime(data.ftLastWriteTime);
    return true;
}

// A folder is no file to replace, nor a read-only, hidden or system file of the standby
// machine's own; `attributes` are the destination's.
bool RefusesReplacement(const std::string& destination, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    FileTime time;
    const bool mayBeOwnCopy =
        !(attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & copyrules::kProtectingAttributes);
    if (mayBeOwnCopy && !ListedTime(destination, time)) return true;
    return copyrules::RefusesReplacement(attributes, time);
}

// Whether `path` names the file that `info` describes, reached under another spelling or through
// a link. The named file is opened for no access at all, which a file held open without sharing
// still allows.
bool IsSameFile(const BY_HANDLE_FILE_INFORMATION& info, const std::string& path) {
    const HANDLE named =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION other;
    const bool same = GetFileInformationByHandle(named, &other) &&
                      info.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
                      info.nFileIndexHigh == other.nFileIndexHigh &&
                      info.nFileIndexLow == other.nFileIndexLow;
    CloseHandle(named);
    return same;
}

// A buffer for the reads of large files, made once per thread.
char* LargeBuffer() {
    thread_local std::unique_ptr<char[]> buffer(new char[copyrules::kLargeRead]);
    return buffer.get();
}

// Moves the measured `size` bytes. No read asks for more than what is left of that size rounded
// up to whole 2048-byte chunks, so a source that grows meanwhile gives at most that. False, with
// the system's error set, when a read or a write fails or the source ends early.
bool CopyContent(HANDLE in, HANDLE out, std::uint64_t size) {
    const std::uint64_t chunked = copyrules::ChunkedSize(size);
    char small[copyrules::kSmallRead];
    const bool large = size >= copyrules::kLargeRead;
    char* const buffer = large ? LargeBuffer() : small;
    const std::uint32_t bufferSize = large ? copyrules::kLargeRead : copyrules::kSmallRead;
    for (std::uint64_t copied = 0; copied < size;) {
        const auto wanted =
            static_cast<DWORD>(std::min<std::uint64_t>(bufferSize, chunked - copied));
        DWORD read = 0;
        if (!ReadFile(in, buffer, wanted, &read, nullptr)) return false;
        if (read == 0) {
            ::SetLastError(ERROR_HANDLE_EOF);
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(out, buffer, read, &written, nullptr)) return false;
        if (written != read) {
            ::SetLastError(ERROR_WRITE_FAULT);  // never seen for a disk file, which fails instead
            return false;
        }
        copied += read;
    }
    return true;
}

// Writes the copy of the open source under `temporary`: whole, stamped, on the disk when it is to
// be a new file, and closed. A copy that failed on the way is removed. A new file takes the
// access of its folder, as a file that CopyFileA makes does.
CopyOutcome WriteTemporaryCopy(HANDLE in, const BY_HANDLE_FILE_INFORMATION& source,
                               const std::string& temporary, CopyRoute route) {
    const HANDLE out = CreateFileA(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return Failed();
    const std::uint64_t size =
        (static_cast<std::uint64_t>(source.nFileSizeHigh) << 32) | source.nFileSizeLow;
    const FILETIME time =
        win32::ToFiletime(copyrules::CopyTime(win32::FromFiletime(source.ftLastWriteTime)));
    CopyOutcome result = copyrules::Copied();
    if (!CopyContent(in, out, size))
        result = Failed();
    else if (!SetFileTime(out, nullptr, nullptr, &time))
        result = Failed(Shortfall::kTime);
    if (result.copied && route == CopyRoute::kAsNewFile && !FlushFileBuffers(out))
        result = Failed();
    if (!CloseHandle(out) && result.copied) result = Failed();
    if (!result.copied) DeleteFileA(temporary.c_str());
    return result;
}

// Renames the whole copy over `destination`, whose attributes are `attributes`. Windows renames
// nothing over a read-only file, nor, by every rule of its own, over a hidden or system one: a
// copy of Duplora's own with those attributes loses them just before, and gets them back when the
// rename fails. False with the rename's error set.
bool PutInPlace(const std::string& temporary, const std::string& destination, DWORD attributes) {
    const bool protectedFile =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & copyrules::kProtectingAttributes);
    const DWORD plain = attributes & ~copyrules::kProtectingAttributes;
    if (protectedFile &&
        !SetFileAttributesA(destination.c_str(), plain ? plain : FILE_ATTRIBUTE_NORMAL))
        return false;
    if (MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    const DWORD error = GetLastError();
    if (protectedFile) SetFileAttributesA(destination.c_str(), attributes);
    ::SetLastError(error);
    return false;
}

// Puts a whole copy of the open source in place of `destination` (whose attributes are
// `existing`), or leaves it as it was, and gives it the source's attributes. The source may be
// neither the destination under another name, nor the temporary file, which the copy would
// remove first.
CopyOutcome PlaceCopy(HANDLE in, const std::string& destination, const std::string& temporary,
                      DWORD existing, CopyRoute route) {
    BY_HANDLE_FILE_INFORMATION source;
    if (!GetFileInformationByHandle(in, &source)) return Failed();
    if (existing != INVALID_FILE_ATTRIBUTES && IsSameFile(source, destination))
        return Refused(SystemError::kSharingViolation);
    // A copy cut off by the end of the process left this name behind; it is replaced. The
    // source, held open without sharing, is never removed under that name: its removal fails.
    if (!DeleteFileA(temporary.c_str())) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
            IsSameFile(source, temporary))
            return Refused(SystemError::kSharingViolation);
    }
    CopyOutcome result = WriteTemporaryCopy(in, source, temporary, route);
    if (!result.copied) return result;
    const bool placed = route == CopyRoute::kReplacing
                            ? PutInPlace(temporary, destination, existing)
                            : MoveFileA(temporary.c_str(), destination.c_str()) != FALSE;
    if (!placed) {
        result = Failed();
        DeleteFileA(temporary.c_str());
        return result;
    }
    if (!SetFileAttributesA(destination.c_str(), source.dwFileAttributes))
        result = {true, Shortfall::kAttributes, win32::ErrorText(GetLastError())};
    return result;
}

}  // namespace

CopyOutcome CopyIntoFolder(const Folder& source, const std::string& name, const Folder& destination,
                           const std::string& destinationName, CopyRoute route) {
    const FolderAccess::Impl& from = FolderAccess::Of(source);
    const FolderAccess::Impl& into = FolderAccess::Of(destination);
    if (!from.open)
        return NotCopied(from.notFound ? Shortfall::kSourceGone : Shortfall::kNotCopied,
                         from.whyNot);
    if (!into.open) return NotCopied(Shortfall::kNotCopied, into.whyNot);
    const std::string destinationPath = into.path + destinationName;

    const DWORD existing = GetFileAttributesA(destinationPath.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && route == CopyRoute::kAsNewFile)
        return Refused(SystemError::kFileExists);
    if (route == CopyRoute::kReplacing && RefusesReplacement(destinationPath, existing))
        return Refused(SystemError::kAccessDenied);

    // Share mode 0: while the file is copied nobody else may open it, and a source that another
    // program holds open cannot be opened here, so it is skipped.
    const HANDLE in =
        CreateFileA((from.path + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return NotCopied(gone ? Shortfall::kSourceGone : Shortfall::kNotCopied,
                         win32::ErrorText(error));
    }
    // A device name (CON, a pipe) opens too; reading it could wait for ever.
    CopyOutcome result =
        GetFileType(in) == FILE_TYPE_DISK
            ? PlaceCopy(in, destinationPath, into.path + TemporaryCopyName(destinationName),
                        existing, route)
            : Refused(SystemError::kAccessDenied);
    CloseHandle(in);
    return result;
}

}  // namespace platform
