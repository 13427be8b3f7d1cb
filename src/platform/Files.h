#pragma once
// Files and folders with their Win32 meaning: directory listings, attributes, folders, renames,
// and open files for reading a whole small file (the log). Paths are Windows path texts of 8-bit
// characters: the win32 backend hands them to the API; the posix backend resolves them the way
// Wine does (posix/HostPath.h, docs/platform-on-posix.md). Copies are FileCopy.h's.
//
// Nothing here throws: every call reports failure through its result, as the API it models;
// LastErrorText() (SystemError.h) tells why, unless the result carries the reason itself.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileTime.h"

namespace platform {

// Attribute word bits (FILE_ATTRIBUTE_*).
enum Attribute : std::uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrVolumeLabel = 0x08,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrNormal = 0x80,
    kAttrReparsePoint = 0x400,  // a symbolic link or junction
};
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;

// One directory entry as the enumeration reports it.
struct FindData {
    std::string name;  // the long name, without folder
    std::uint32_t attributes = 0;
    FileTime lastWriteTime;
    std::uint64_t size = 0;  // the whole size; its low 32 bits are the Win32 nFileSizeLow
};

// The attributes that tell what an entry is. On POSIX a listing gives them without a look-up
// of the entry wherever the file system lists entry types, as most do.
inline constexpr std::uint32_t kKindAttributes =
    kAttrDirectory | kAttrReparsePoint | kAttrHidden | kAttrSystem | kAttrVolumeLabel;

// What a call on an open folder did: done, or why not, in the system's words.
struct Outcome {
    bool done = false;
    std::string reason;
    explicit operator bool() const { return done; }
};

// A folder held open, so that its entries are listed, looked up, copied and renamed by name
// without its path being resolved again. POSIX: a directory descriptor, which spares the system the
// walk down the path (on a server share, round trips) and the match of server and share names; a
// subfolder is opened relative to it. Windows: the folder's path, to which each call appends the
// name.
class Folder {
public:
    explicit Folder(const std::string& path);  // with or without its final backslash
    // The subfolder `name` of `parent`, a name as a listing gives it (not "." or "..").
    Folder(const Folder& parent, const std::string& name);
    ~Folder();
    Folder(Folder&&) noexcept;
    Folder& operator=(Folder&&) noexcept;

    // Whether it is an existing folder (a link to one counts) that could be reached; when not,
    // LastErrorText() tells why.
    bool IsOpen() const;
    // FindFirstFileA of the entry `name` of this folder: `entry` as a listing describes it,
    // links followed. False when there is no such entry.
    bool Find(const std::string& name, FindData& entry) const;
    // MoveFileA of the entry `name` to `newName`, both in this folder: fails when `newName` exists,
    // as RenameFile below.
    Outcome Rename(const std::string& name, const std::string& newName) const;

private:
    friend class DirectorySearch;
    friend struct FolderAccess;  // the backend's own files
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// FindFirstFileA / FindNextFileA / FindClose. `pattern` is a folder path followed by "*.*"
// (every entry of that folder, "." and ".." included, in the order the system returns them)
// or the path of one entry (that entry alone).
class DirectorySearch {
public:
    explicit DirectorySearch(const std::string& pattern);
    // Every entry of an open folder, as above; nothing when it is not open.
    explicit DirectorySearch(const Folder& folder);
    ~DirectorySearch();
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    bool Found() const;  // an entry is at hand
    void Next();         // Found() turns false after the last entry

    // The entry at hand, only while Found(). Its name and its kind (its kKindAttributes) come
    // with the listing: on POSIX an entry is looked up for them only when the file system does
    // not list its type, or when it is a link, whose target tells whether it is a folder.
    const std::string& Name() const;
    std::uint32_t Kind() const;
    // The whole entry: attributes, last-write time and size. POSIX looks them up once, when
    // first asked for; nullptr when the entry was gone by then, which the walks pass over as one
    // never listed. Windows' listing carries them all.
    const FindData* Entry() const;
    // Once Found() is false: whether the listing broke off on an error before its end (a share
    // gone, a disk error), so that entries may be missing; LastErrorText() then tells why.
    bool Interrupted() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// GetFileAttributesA / SetFileAttributesA. Folder = directory; hidden = name begins with "."
// on POSIX; read-only = owner may not write.
std::uint32_t GetAttributes(const std::string& path);
bool SetAttributes(const std::string& path, std::uint32_t attributes);

// CreateDirectoryA: one folder; its parent must exist.
bool MakeDirectory(const std::string& path);
// MoveFileA: fails when `newPath` exists. On POSIX a file system that refuses a rename that never
// replaces (NFS, CIFS and FUSE ones refuse renameat2's RENAME_NOREPLACE) gets a link under the new
// name, which fails as well when the name exists, and the old name's removal.
bool RenameFile(const std::string& oldPath, const std::string& newPath);
// DeleteFileA.
bool RemoveFile(const std::string& path);

// Open files for reading (CreateFileA with share mode 0).
using FileHandle = std::intptr_t;
inline constexpr FileHandle kInvalidFile = -1;
// GENERIC_READ, OPEN_EXISTING. Only a regular file opens, and the open never waits: a named
// pipe, a device or a socket is refused.
FileHandle OpenForReading(const std::string& path);
bool ReadChunk(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t& read);
bool FileSize(FileHandle file, std::uint64_t& size);
// False when the system reports an error that it could only report now (a delayed write on a
// network file system); the handle is closed all the same.
bool CloseFile(FileHandle file);

// Appends `text` to the end of a file, creating it when missing (FILE_APPEND_DATA, OPEN_ALWAYS).
bool AppendToFile(const std::string& path, const std::string& text);

}  // namespace platform
