// A copy between two open folders on POSIX: every call relative to the folders' descriptors, so
// no path is resolved again (on a server share, no round trip for the folders above), and the
// bytes moved by the kernel (copy_file_range) where the two file systems take it, read and
// written where they do not.
//
// A new copy (the destination missing) costs: the destination's name and the temporary name
// looked up (fstatat), the source looked at, opened, described and made blocking (fstatat,
// openat, fstat, fcntl), the temporary file created (openat), the bytes (one copy_file_range for
// most files), the time and the mode (futimens, fchmod), close, rename, and the source's close.

#include "platform/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/CopyRules.h"
#include "platform/SystemError.h"
#include "platform/posix/PosixInternal.h"

namespace platform {
namespace {

using copyrules::NotCopied;
using Shortfall = CopyOutcome::Shortfall;

// Why a copy failed, in strerror's words; a source that ends before its measured size in the
// words Windows uses.
constexpr int kEndOfFile = -2;

std::string Reason(int error) {
    return error == kEndOfFile ? ErrorText(SystemError::kHandleEof) : posix::ErrorText(error);
}

// The entry `name` of `folder` as a look-up by its name sees it, links followed (a dangling link
// describes itself), and its attributes; false when there is none.
bool LookUp(int folder, const char* name, struct stat& st, std::uint32_t& attributes) {
    if (fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    const bool isLink = S_ISLNK(st.st_mode);
    struct stat target {};
    if (isLink && fstatat(folder, name, &target, 0) == 0) st = target;
    attributes = posix::AttributesOf(name, st, isLink);
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The permission bits a copy gets: the source's read, write and execute bits (never
// set-user-id and the like, which a copy made by root would grant to root), with the read-only
// attribute's meaning kept: a source its owner may not write is read-only, and a read-only copy
// has no write bit at all.
mode_t CopyMode(mode_t source) {
    mode_t mode = source & 0777;
    if (!(mode & S_IWUSR)) mode &= ~static_cast<mode_t>(S_IWGRP | S_IWOTH);
    return mode;
}

// Whether copy_file_range's failure says only that these files cannot be copied in the kernel
// (another file system, a kernel or a file system without it), so reading and writing will do.
bool KernelCopyRefused(int error) {
    return error == EXDEV || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

// Writes all of `size` bytes or fails: a write may take only part of them (a disk that fills
// up); the rest is written after it, which then fails with the reason.
int WriteAll(int out, const char* buffer, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(out, buffer, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0 ? ENOSPC : errno;
        buffer += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// A buffer for the reads of large files, made once per thread.
char* LargeBuffer() {
    thread_local std::unique_ptr<char[]> buffer(new char[copyrules::kLargeRead]);
    return buffer.get();
}

// Moves `size` bytes, the size measured when the source was opened, from `in` to `out`, both at
// their start. No call asks for more than what is left of that size rounded up to whole
// 2048-byte chunks, so a source that grows meanwhile gives at most that. The kernel copies where
// it can; where it refuses (`into` remembers that for the folder's next copies) or copies nothing
// although the source should have more (file systems that do not copy in the kernel answer so),
// the rest is read and written. 0, or why not: an errno, or kEndOfFile when the source ended
// early.
int CopyContent(int in, int out, std::uint64_t size, FolderAccess::Impl& into) {
    const std::uint64_t chunked = copyrules::ChunkedSize(size);
    std::uint64_t copied = 0;
    bool inKernel = !into.kernelCopyRefused;
    char small[copyrules::kSmallRead];
    char* const buffer = size >= copyrules::kLargeRead ? LargeBuffer() : small;
    const std::uint32_t bufferSize =
        size >= copyrules::kLargeRead ? copyrules::kLargeRead : copyrules::kSmallRead;
    while (copied < size) {
        const std::uint64_t left = chunked - copied;
        if (inKernel) {
            const ssize_t n = copy_file_range(
                in, nullptr, out, nullptr,
                static_cast<std::size_t>(std::min<std::uint64_t>(left, std::uint64_t{1} << 30)), 0);
            if (n > 0) {
                copied += static_cast<std::uint64_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && !KernelCopyRefused(errno)) return errno;
            if (n < 0) into.kernelCopyRefused = true;
            inKernel = false;  // and a source that has really ended reads nothing below
        }
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(bufferSize, left));
        const ssize_t n = read(in, buffer, wanted);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return kEndOfFile;
        if (const int error = WriteAll(out, buffer, static_cast<std::size_t>(n))) return error;
        copied += static_cast<std::uint64_t>(n);
    }
    return 0;
}

// The source's time, reduced to the MS-DOS form, on the open copy. The access time is given (the
// moment, as a new file has it) rather than left out (UTIME_OMIT): some FUSE file systems
// (bindfs) drop a change that leaves it out, and the copy would keep the time of its writing.
int Stamp(int out, const struct stat& source) {
    timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[1] = posix::ToTimespec(copyrules::CopyTime(posix::ToFileTime(source.st_mtim)));
    return futimens(out, times) == 0 ? 0 : errno;
}

// Writes the copy of the open source `in` (described by `source`) under `temporary` in `into`:
// whole, stamped, with the source's permission bits when they can be given, on the disk when it
// is to be a new file, and closed. A copy that failed on the way is removed.
CopyOutcome WriteTemporaryCopy(int in, const struct stat& source, FolderAccess::Impl& into,
                               const char* temporary, CopyRoute route) {
    const int out = openat(into.fd, temporary, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) return NotCopied(Shortfall::kNotCopied, std::strerror(errno));
    CopyOutcome result = copyrules::Copied();
    if (const int error = CopyContent(in, out, static_cast<std::uint64_t>(source.st_size), into))
        result = NotCopied(Shortfall::kNotCopied, Reason(error));
    else if (const int error = Stamp(out, source))
        result = NotCopied(Shortfall::kTime, std::strerror(error));
    else if (fchmod(out, CopyMode(source.st_mode)) != 0)
        result = {true, Shortfall::kPermissions, std::strerror(errno)};
    if (result.copied && route == CopyRoute::kAsNewFile && fsync(out) != 0)
        result = NotCopied(Shortfall::kNotCopied, std::strerror(errno));
    if (close(out) != 0 && result.copied)
        result = NotCopied(Shortfall::kNotCopied, std::strerror(errno));
    if (!result.copied) unlinkat(into.fd, temporary, 0);
    return result;
}

// Puts a whole copy of the open source in place of `destinationName`, or leaves it as it was.
// The source may be neither the destination's file under another name, nor its temporary file,
// which the copy would remove first. `existing` describes the destination, when there is one.
CopyOutcome PlaceCopy(int in, const struct stat& source, const struct stat* existing,
                      FolderAccess::Impl& into, const std::string& destinationName,
                      CopyRoute route) {
    if (existing && SameFile(*existing, source))
        return NotCopied(Shortfall::kNotCopied, ErrorText(SystemError::kSharingViolation));
    const std::string temporary = TemporaryCopyName(destinationName);
    // A copy cut off by the end of the process left this name behind; it is replaced.
    struct stat left {};
    if (fstatat(into.fd, temporary.c_str(), &left, AT_SYMLINK_NOFOLLOW) == 0) {
        if (SameFile(left, source))
            return NotCopied(Shortfall::kNotCopied, ErrorText(SystemError::kSharingViolation));
        unlinkat(into.fd, temporary.c_str(), 0);
    }
    CopyOutcome result = WriteTemporaryCopy(in, source, into, temporary.c_str(), route);
    if (!result.copied) return result;
    // A rename replaces a read-only file as any other: the folder's permissions decide.
    const int error =
        route == CopyRoute::kReplacing
            ? (renameat(into.fd, temporary.c_str(), into.fd, destinationName.c_str()) == 0 ? 0
                                                                                           : errno)
            : posix::RenameNoReplace(into.fd, temporary.c_str(), into.fd, destinationName.c_str());
    if (error == 0) return result;
    unlinkat(into.fd, temporary.c_str(), 0);
    return NotCopied(Shortfall::kNotCopied, std::strerror(error));
}

}  // namespace

CopyOutcome CopyIntoFolder(const Folder& source, const std::string& name, const Folder& destination,
                           const std::string& destinationName, CopyRoute route) {
    FolderAccess::Impl& from = FolderAccess::Of(source);
    FolderAccess::Impl& into = FolderAccess::Of(destination);
    if (from.fd < 0)
        return NotCopied(from.notFound ? Shortfall::kSourceGone : Shortfall::kNotCopied,
                         from.whyNot);
    if (into.fd < 0) return NotCopied(Shortfall::kNotCopied, into.whyNot);

    struct stat existing {};
    std::uint32_t attributes = 0;
    const bool exists = LookUp(into.fd, destinationName.c_str(), existing, attributes);
    if (exists && route == CopyRoute::kAsNewFile)
        return NotCopied(Shortfall::kNotCopied, ErrorText(SystemError::kFileExists));
    if (exists && copyrules::RefusesReplacement(attributes, posix::ToFileTime(existing.st_mtim)))
        return NotCopied(Shortfall::kNotCopied, ErrorText(SystemError::kAccessDenied));

    struct stat described {};
    int error = 0;
    const int in = posix::OpenRegularFile(from.fd, name.c_str(), described, error);
    if (in < 0)
        return NotCopied(
            error == ENOENT || error == ENOTDIR ? Shortfall::kSourceGone : Shortfall::kNotCopied,
            posix::ErrorText(error));
    CopyOutcome result =
        PlaceCopy(in, described, exists ? &existing : nullptr, into, destinationName, route);
    close(in);
    return result;
}

}  // namespace platform
