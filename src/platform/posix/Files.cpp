// Directory search, attributes, folders, renames and files open for reading on POSIX, with Win32
// meaning: folder = directory; hidden = name begins with "."; read-only = the owner may not
// write; archive on regular files; system and volume label never; a symbolic link is a reparse
// point.

#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/FileTime.h"
#include "platform/SystemError.h"
#include "platform/posix/HostPath.h"
#include "platform/posix/PosixInternal.h"

namespace platform {
namespace {

using posix::AttributesOf;
using posix::ToFileTime;

bool IsDotOrDotDot(std::string_view name) { return name == "." || name == ".."; }

std::string_view LastComponent(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::uint32_t HiddenAttribute(std::string_view name) {
    const bool hidden = !IsDotOrDotDot(name) && !name.empty() && name[0] == '.';
    return hidden ? kAttrHidden : 0u;
}

// Fills the attributes, time and size of `entry` for `path`, looked up relative to the open
// folder `dirFd` (or as a whole path when dirFd is AT_FDCWD); `name` is its last component.
// Links are followed; a dangling link describes itself. A link the listing named as one
// (`listedType` DT_LNK) is looked up through at once, one look-up instead of two.
bool Describe(int dirFd, const char* path, std::string_view name, FindData& entry,
              unsigned char listedType = DT_UNKNOWN) {
    struct stat st {};
    bool isLink = false;
    if (listedType == DT_LNK && fstatat(dirFd, path, &st, 0) == 0) {
        isLink = true;
    } else {
        if (fstatat(dirFd, path, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
        if (S_ISLNK(st.st_mode)) {
            isLink = true;
            struct stat target {};
            if (fstatat(dirFd, path, &target, 0) == 0) st = target;
        }
    }
    entry.attributes = AttributesOf(name, st, isLink);
    entry.lastWriteTime = ToFileTime(st.st_mtim);
    entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    return true;
}

std::optional<std::string> Resolve(const std::string& windowsPath) {
    auto host = HostPath(windowsPath);
    if (!host) SetLastErrorCode(SystemError::kInvalidName);
    return host;
}

}  // namespace

constexpr std::uint64_t kUnixEpochIn1601Seconds = 11644473600ULL;

FileTime posix::ToFileTime(const timespec& t) {
    const std::int64_t seconds = static_cast<std::int64_t>(t.tv_sec) + kUnixEpochIn1601Seconds;
    if (seconds < 0) return FileTime{0};
    return FileTime{static_cast<std::uint64_t>(seconds) * 10000000ULL +
                    static_cast<std::uint64_t>(t.tv_nsec) / 100};
}

timespec posix::ToTimespec(FileTime time) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(time.ticks / 10000000ULL) -
                                   static_cast<std::int64_t>(kUnixEpochIn1601Seconds));
    t.tv_nsec = static_cast<long>(time.ticks % 10000000ULL) * 100;
    return t;
}

std::uint32_t posix::AttributesOf(std::string_view name, const struct stat& st, bool isLink) {
    std::uint32_t attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
    attributes |= HiddenAttribute(name);
    if (!(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
    if (isLink) attributes |= kAttrReparsePoint;
    return attributes;
}

// A named pipe would block the open until a writer comes, a device may never end: anything but a
// regular file is refused, looked at before the open and, since it may change in between, again
// on what was opened, which never waits.
int posix::OpenRegularFile(int folder, const char* name, struct stat& st, int& error) {
    if (fstatat(folder, name, &st, 0) != 0) {
        error = errno;
        return -1;
    }
    const auto refused = [&] {
        error = S_ISDIR(st.st_mode) ? EISDIR : kNotARegularFile;
        return -1;
    };
    if (!S_ISREG(st.st_mode)) return refused();
    const int fd = openat(folder, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    const bool described = fstat(fd, &st) == 0;
    if (!described) error = errno;
    if (!described || !S_ISREG(st.st_mode)) {
        close(fd);
        return described ? refused() : -1;
    }
    // Reading the file itself may wait. F_SETFL sets only the status flags, O_NONBLOCK the one
    // of them that was set.
    fcntl(fd, F_SETFL, 0);
    return fd;
}

std::string posix::ErrorText(int error) {
    return error == kNotARegularFile ? "Not a regular file" : std::strerror(error);
}

int posix::RenameNoReplace(int fromFolder, const char* from, int toFolder, const char* to) {
    if (renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (linkat(fromFolder, from, toFolder, to, 0) != 0) return errno;
    if (unlinkat(fromFolder, from, 0) == 0) return 0;
    const int error = errno;
    unlinkat(toFolder, to, 0);  // the file keeps its one old name
    return error;
}

void Folder::Impl::Open(int dirFd, const char* path) {
    fd = openat(dirFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    readable = fd >= 0;
    if (fd < 0 && errno == EACCES) fd = openat(dirFd, path, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) return;
    notFound = errno == ENOENT || errno == ENOTDIR;
    whyNot = std::strerror(errno);
    posix::RememberErrno();
}

Folder::Folder(const std::string& path) : impl_(std::make_unique<Impl>()) {
    const auto host = Resolve(path);
    if (!host) {
        impl_->whyNot = ErrorText(SystemError::kInvalidName);
        return;
    }
    impl_->Open(AT_FDCWD, host->empty() ? "." : host->c_str());
}

Folder::Folder(const Folder& parent, const std::string& name) : impl_(std::make_unique<Impl>()) {
    impl_->Open(parent.impl_->fd, name.c_str());
}

Folder::~Folder() {
    if (impl_ && impl_->fd >= 0) close(impl_->fd);
}

Folder::Folder(Folder&&) noexcept = default;
Folder& Folder::operator=(Folder&&) noexcept = default;

bool Folder::IsOpen() const { return impl_->fd >= 0; }

bool Folder::Find(const std::string& name, FindData& entry) const {
    if (impl_->fd < 0 || !Describe(impl_->fd, name.c_str(), name, entry)) return false;
    entry.name.assign(name);
    return true;
}

Outcome Folder::Rename(const std::string& name, const std::string& newName) const {
    if (impl_->fd < 0) return {false, impl_->whyNot};
    const int error = posix::RenameNoReplace(impl_->fd, name.c_str(), impl_->fd, newName.c_str());
    return {error == 0, error == 0 ? std::string() : std::strerror(error)};
}

// A listing read with getdents64 rather than readdir: glibc's opendir looks the opened folder up
// with fstat, one more look-up per folder. An entry's type comes with its name; whatever else
// it needs is looked up only when asked for (Entry).
struct DirectorySearch::Impl {
    enum class Described { kNotYet, kYes, kGone };

    int fd = -1;
    alignas(dirent64) char buffer[32 * 1024];
    long filled = 0;  // bytes of buffer that getdents64 filled
    long at = 0;      // where the next entry begins
    FindData entry;
    std::uint32_t kind = 0;
    Described described = Described::kNotYet;
    bool found = false;
    bool interrupted = false;

    void List(int dirFd, const char* path) {
        fd = openat(dirFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) posix::RememberErrno();
    }

    // Takes the listed entry `name` of type `type`. A link or an entry of unknown type is looked
    // up now, since only that tells whether it is a folder; one gone already is passed over.
    bool Take(const char* name, unsigned char type) {
        entry.name.assign(name);
        if (type == DT_LNK || type == DT_UNKNOWN) {
            if (!Describe(fd, name, entry.name, entry, type)) return false;
            described = Described::kYes;
            kind = entry.attributes & kKindAttributes;
        } else {
            described = Described::kNotYet;
            kind = (type == DT_DIR ? kAttrDirectory : 0u) | HiddenAttribute(entry.name);
        }
        return true;
    }
};

DirectorySearch::DirectorySearch(const std::string& pattern) : impl_(std::make_unique<Impl>()) {
    const bool wholeFolder =
        pattern.size() >= 3 && pattern.compare(pattern.size() - 3, 3, "*.*") == 0;
    const auto host =
        wholeFolder ? Resolve(pattern.substr(0, pattern.size() - 3)) : Resolve(pattern);
    if (!host) return;
    if (!wholeFolder) {
        FindData& entry = impl_->entry;
        impl_->found = Describe(AT_FDCWD, host->c_str(), LastComponent(*host), entry);
        if (!impl_->found) {
            posix::RememberErrno();
            return;
        }
        entry.name.assign(LastComponent(*host));
        impl_->kind = entry.attributes & kKindAttributes;
        impl_->described = Impl::Described::kYes;
        return;
    }
    impl_->List(AT_FDCWD, host->empty() ? "." : host->c_str());
    Next();
}

DirectorySearch::DirectorySearch(const Folder& folder) : impl_(std::make_unique<Impl>()) {
    if (!folder.IsOpen()) return;
    if (folder.impl_->readable) {
        // A copy of the folder's descriptor, read from its start (the two share their offset).
        impl_->fd = fcntl(folder.impl_->fd, F_DUPFD_CLOEXEC, 0);
        if (impl_->fd < 0 || lseek(impl_->fd, 0, SEEK_SET) != 0) {
            posix::RememberErrno();
            if (impl_->fd >= 0) close(impl_->fd);
            impl_->fd = -1;
        }
    } else {
        impl_->List(folder.impl_->fd, ".");
    }
    Next();
}

DirectorySearch::~DirectorySearch() {
    if (impl_->fd >= 0) close(impl_->fd);
}

bool DirectorySearch::Found() const { return impl_->found; }

void DirectorySearch::Next() {
    Impl& search = *impl_;
    search.found = false;
    while (search.fd >= 0) {
        if (search.at >= search.filled) {
            search.filled = getdents64(search.fd, search.buffer, sizeof search.buffer);
            search.at = 0;
            if (search.filled < 0) {
                posix::RememberErrno();
                search.interrupted = true;
            }
            if (search.filled <= 0) return;
        }
        const auto* listed = reinterpret_cast<const dirent64*>(search.buffer + search.at);
        search.at += listed->d_reclen;
        if (search.Take(listed->d_name, listed->d_type)) {
            search.found = true;
            return;
        }
    }
}

const std::string& DirectorySearch::Name() const { return impl_->entry.name; }

std::uint32_t DirectorySearch::Kind() const { return impl_->kind; }

bool DirectorySearch::Interrupted() const { return impl_->interrupted; }

const FindData* DirectorySearch::Entry() const {
    Impl& search = *impl_;
    if (!search.found) return nullptr;
    if (search.described == Impl::Described::kNotYet)
        search.described =
            Describe(search.fd, search.entry.name.c_str(), search.entry.name, search.entry)
                ? Impl::Described::kYes
                : Impl::Described::kGone;
    return search.described == Impl::Described::kYes ? &search.entry : nullptr;
}

std::uint32_t GetAttributes(const std::string& path) {
    const auto host = Resolve(path);
    FindData entry;
    if (!host || !Describe(AT_FDCWD, host->c_str(), LastComponent(*host), entry)) {
        if (host) posix::RememberErrno();
        return kInvalidAttributes;
    }
    return entry.attributes;
}

bool SetAttributes(const std::string& path, std::uint32_t attributes) {
    const auto host = Resolve(path);
    if (!host) return false;
    struct stat st {};
    if (stat(host->c_str(), &st) != 0) {
        posix::RememberErrno();
        return false;
    }
    mode_t mode = st.st_mode & 07777;
    if (attributes & kAttrReadOnly)
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else
        mode |= S_IWUSR;
    if (mode != (st.st_mode & 07777) && chmod(host->c_str(), mode) != 0) {
        posix::RememberErrno();
        return false;
    }
    return true;
}

bool MakeDirectory(const std::string& path) {
    const auto host = Resolve(path);
    if (!host) return false;
    if (mkdir(host->c_str(), 0777) != 0) {
        posix::RememberErrno();
        return false;
    }
    return true;
}

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
    const auto from = Resolve(oldPath);
    const auto to = Resolve(newPath);
    if (!from || !to) return false;
    if (const int error = posix::RenameNoReplace(AT_FDCWD, from->c_str(), AT_FDCWD, to->c_str())) {
        errno = error;
        posix::RememberErrno();
        return false;
    }
    return true;
}

bool RemoveFile(const std::string& path) {
    const auto host = Resolve(path);
    if (!host) return false;
    if (unlink(host->c_str()) != 0) {
        posix::RememberErrno();
        return false;
    }
    return true;
}

FileHandle OpenForReading(const std::string& path) {
    const auto host = Resolve(path);
    if (!host) return kInvalidFile;
    struct stat st {};
    int error = 0;
    const int fd = posix::OpenRegularFile(AT_FDCWD, host->c_str(), st, error);
    if (fd >= 0) return fd;
    if (error == posix::kNotARegularFile)
        posix::RememberError(posix::ErrorText(error));
    else {
        errno = error;
        posix::RememberErrno();
    }
    return kInvalidFile;
}

bool ReadChunk(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t& read) {
    ssize_t n;
    do n = ::read(static_cast<int>(file), buffer, size);
    while (n < 0 && errno == EINTR);
    read = n > 0 ? static_cast<std::uint32_t>(n) : 0;
    if (n < 0) posix::RememberErrno();
    return n >= 0;
}

// Measured as SetFilePointer does: the position of the end, then back to the start.
bool FileSize(FileHandle file, std::uint64_t& size) {
    const int fd = static_cast<int>(file);
    const off_t end = lseek(fd, 0, SEEK_END);
    if (end < 0 || lseek(fd, 0, SEEK_SET) != 0) {
        posix::RememberErrno();
        return false;
    }
    size = static_cast<std::uint64_t>(end);
    return true;
}

bool CloseFile(FileHandle file) {
    if (file == kInvalidFile) return true;
    // The descriptor is gone even when close fails, so it is never tried again.
    if (close(static_cast<int>(file)) != 0) {
        posix::RememberErrno();
        return false;
    }
    return true;
}

}  // namespace platform
