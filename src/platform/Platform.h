#pragma once
// The few system calls Duplora needs, with their Win32 meaning. Paths are Windows path texts
// of 8-bit characters. The win32 backend calls the real API; the posix backend resolves the
// path texts the way Wine does (see docs/ARCHITECTURE.md, "Platform semantics").
//
// Nothing here throws: every call reports failure through its result, as the API it models.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

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

// A point in time as FILETIME counts it: 100-ns intervals since 1601-01-01 00:00 UTC.
struct FileTime {
    std::uint64_t ticks = 0;
    friend bool operator==(FileTime, FileTime) = default;
};

// The MS-DOS date-time form: local time, seconds in steps of two, years 1980 to 2107.
struct DosDateTime {
    std::uint16_t date = 0;  // bits 15-9 year-1980, 8-5 month, 4-0 day
    std::uint16_t time = 0;  // bits 15-11 hour, 10-5 minute, 4-0 second/2
    friend bool operator==(DosDateTime, DosDateTime) = default;
};

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

// A folder held open, so that its entries are listed and looked up by name without its path
// being resolved again. POSIX: a directory descriptor, which spares the system the walk down the
// path (on a server share, round trips) and the match of server and share names; a subfolder is
// opened relative to it. Windows: the folder's path, to which each call appends the name.
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

private:
    friend class DirectorySearch;
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
// CopyFileA: contents, last-write time and attributes; regular files only.
bool CopyWholeFile(const std::string& source, const std::string& destination, bool failIfExists);
// MoveFileA: fails when `newPath` exists.
bool RenameFile(const std::string& oldPath, const std::string& newPath);
// MoveFileExA with MOVEFILE_REPLACE_EXISTING: `newPath` is replaced at once, never left
// half-written; a folder is not replaced.
bool RenameReplacing(const std::string& oldPath, const std::string& newPath);
// DeleteFileA.
bool RemoveFile(const std::string& path);

// Open files for the chunked copy (CreateFileA with share mode 0).
using FileHandle = std::intptr_t;
inline constexpr FileHandle kInvalidFile = -1;
// GENERIC_READ, OPEN_EXISTING. Only a regular file opens, and the open never waits: a named
// pipe, a device or a socket is refused.
FileHandle OpenForReading(const std::string& path);
// GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL: fails when the name exists
// in any form (a link included), so nothing is ever written through a link planted there.
FileHandle CreateNewFile(const std::string& path);
// Whether `path` names the file that `file` has open (the same file reached under another
// spelling, or through a link).
bool IsSameFile(FileHandle file, const std::string& path);
bool ReadChunk(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t& read);
// Writes all of `size` or fails.
bool WriteChunk(FileHandle file, const void* buffer, std::uint32_t size);
bool FileSize(FileHandle file, std::uint64_t& size);
bool LastWriteTime(FileHandle file, FileTime& time);
bool StampLastWriteTime(FileHandle file, FileTime time);  // last-write time only
// POSIX: `destination` gets the permission bits of `source` (read, write, execute for owner,
// group and others; never set-user-id and the like), so a copy is no more readable than its
// original. Windows: nothing to do, a new file takes the access of its folder, as CopyFileA's.
bool CarryPermissions(FileHandle source, FileHandle destination);
// False when the system reports an error that it could only report now (a delayed write on a
// network file system); the handle is closed all the same.
bool CloseFile(FileHandle file);

// FileTimeToLocalFileTime + FileTimeToDosDateTime, and back (DosDateTimeToFileTime +
// LocalFileTimeToFileTime). Both fail outside 1980..2107.
std::optional<DosDateTime> ToDosDateTime(FileTime time);
std::optional<FileTime> FromDosDateTime(DosDateTime dos);

// CreateProcessA (no application name, flags CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, a
// start-up record carrying `showWindow`), WaitForSingleObject(INFINITE) and GetExitCodeProcess.
// The process's exit code, signed as the command interpreter shows it (exit /b -1 gives -1);
// on POSIX a process ended by a signal gives 128 and the signal's number, as shells show it.
// nullopt when the process could not be started, or its end not learnt.
std::optional<int> RunProcessAndWait(const std::string& commandLine,
                                     const std::string& workingFolder, std::uint16_t showWindow);

// GetCurrentDirectoryA: no trailing separator except at a root.
std::string CurrentDirectory();
// The folder of the running executable, ending with its separator.
std::string ExecutableFolder();

// LoadLibraryA / GetProcAddress. A loaded library stays loaded until the process ends.
using LibraryHandle = void*;
LibraryHandle LoadSharedLibrary(const std::string& fileName);
void* FindSymbol(LibraryHandle library, const std::string& name);
// The system's text for the last failure of a call above (library loading included).
std::string LastErrorText();

// Appends `text` to the end of a file, creating it when missing (FILE_APPEND_DATA, OPEN_ALWAYS).
bool AppendToFile(const std::string& path, const std::string& text);

// The few Win32 error codes that Duplora sets itself (SetLastError) when it refuses something,
// so that LastErrorText() tells the refusal in the system's words.
enum class SystemError : std::uint32_t {
    kAccessDenied = 5,       // ERROR_ACCESS_DENIED
    kSharingViolation = 32,  // ERROR_SHARING_VIOLATION
    kHandleEof = 38,         // ERROR_HANDLE_EOF
    kInvalidName = 123,      // ERROR_INVALID_NAME
};
void SetLastErrorCode(SystemError error);
std::string ErrorText(SystemError error);

// Keeps the last failure (LastErrorText) across the clean-up calls that follow it.
class LastErrorKept {
public:
    LastErrorKept();
    ~LastErrorKept();
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;

private:
    std::uint32_t code_;  // Windows
    std::string text_;    // POSIX
};

// How 8-bit texts hold characters: UTF-8 on POSIX, where one character may take up to four
// bytes; the ANSI code page on Windows, one byte per character.
#ifdef _WIN32
inline constexpr bool kTextIsUtf8 = false;
#else
inline constexpr bool kTextIsUtf8 = true;
#endif

// GetPrivateProfileStringA (a buffer of 2048 characters) / WritePrivateProfileStringA.
std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& defaultValue, const std::string& fileName);
bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& fileName);
// Whether the content of an existing settings file can be read: ReadProfileText gives the
// defaults for a file it may not read as for a missing one. After false, LastErrorText() says
// why (a folder in the file's place, no permission, a read error).
bool ProfileReadable(const std::string& fileName);

// The local date and time of `unixTime` (seconds since 1970-01-01 UTC) as the user's locale
// writes them: the short date, a blank and the long time; the blank and the time are left out
// when the local time is 00:00:00 exactly. Windows: GetDateFormatA / GetTimeFormatA with
// LOCALE_USER_DEFAULT; POSIX: the environment's LC_TIME locale (LC_ALL, LC_TIME, LANG), "%x"
// and "%X". Empty when the time has no local form.
std::string UserDateTimeText(std::int64_t unixTime);

#ifndef _WIN32
// POSIX only: where drive letters and UNC shares live (Wine's dosdevices folder).
// Defaults to $WINEPREFIX/dosdevices, else $HOME/.wine/dosdevices.
void SetDosDevicesRoot(const std::string& hostFolder);
std::string DosDevicesRoot();
// The host path a Windows path text names; nullopt when it names no drive. "." and ".." are
// read as Windows reads them, never above the drive root or the share.
std::optional<std::string> HostPath(const std::string& windowsPath);
#endif

}  // namespace platform
