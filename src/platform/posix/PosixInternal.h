#pragma once
// Shared by the POSIX backend files only.

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileTime.h"
#include "platform/Files.h"

namespace platform {

// A folder is opened for reading, so that its listing reads the same descriptor and the folder
// is not looked up again (on a server share, a round trip); one that cannot be read is opened
// O_PATH, for looking names up and opening below, whatever its mode.
struct Folder::Impl {
    int fd = -1;
    bool readable = false;
    // Why it is not open (the system's words), and whether because it is not there.
    std::string whyNot;
    bool notFound = false;
    // Whether the system refused to copy a file into this folder in the kernel (copy_file_range):
    // the copies that follow read and write from the start.
    bool kernelCopyRefused = false;

    void Open(int dirFd, const char* path);
};

// What an open folder holds, for the backend's own files.
struct FolderAccess {
    using Impl = Folder::Impl;
    static Impl& Of(const Folder& folder) { return *folder.impl_; }
};

}  // namespace platform

namespace platform::posix {

// Records the text LastErrorText() gives for the failure at hand.
void RememberError(std::string text);
// The same, from errno.
void RememberErrno();

FileTime ToFileTime(const timespec& t);
timespec ToTimespec(FileTime time);
// The attribute word of the entry `name` that `st` describes (of a link's target, with
// `isLink`).
std::uint32_t AttributesOf(std::string_view name, const struct stat& st, bool isLink);

// Opens the regular file `name` of `folder` (or a path, with AT_FDCWD) for reading, never
// waiting: a named pipe, a device or a socket is refused without being opened, and so is one that
// takes a file's place meanwhile. `st` describes the open file. -1 when not, with `error` an errno
// or kNotARegularFile.
inline constexpr int kNotARegularFile = -1;
int OpenRegularFile(int folder, const char* name, struct stat& st, int& error);
// strerror's text, or "Not a regular file".
std::string ErrorText(int error);

// MoveFileA's rename: `to` never replaced. A file system that refuses renameat2's
// RENAME_NOREPLACE (NFS, CIFS, FUSE answer EINVAL) gets a link under the new name, which fails as
// well when the name exists, and the old name's removal. 0, or the errno of the failure.
int RenameNoReplace(int fromFolder, const char* from, int toFolder, const char* to);

}  // namespace platform::posix
