// Directory search, attributes, folders and open files: the Win32 file API itself.

#include "Win32Internal.h"

namespace platform {
namespace {

void Fill(const WIN32_FIND_DATAA& data, FindData& entry) {
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.lastWriteTime = win32::FromFiletime(data.ftLastWriteTime);
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

struct DirectorySearch::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    FindData entry;
    bool found = false;
};

DirectorySearch::DirectorySearch(const std::string& pattern) : impl_(std::make_unique<Impl>()) {
    WIN32_FIND_DATAA data;
    impl_->handle = FindFirstFileA(pattern.c_str(), &data);
    impl_->found = impl_->handle != INVALID_HANDLE_VALUE;
    if (impl_->found) Fill(data, impl_->entry);
}

DirectorySearch::~DirectorySearch() {
    if (impl_->handle != INVALID_HANDLE_VALUE) FindClose(impl_->handle);
}

bool DirectorySearch::Found() const { return impl_->found; }

const FindData& DirectorySearch::Entry() const { return impl_->entry; }

void DirectorySearch::Next() {
    if (!impl_->found) return;
    WIN32_FIND_DATAA data;
    impl_->found = FindNextFileA(impl_->handle, &data) != FALSE;
    if (impl_->found) Fill(data, impl_->entry);
}

std::uint32_t GetAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool SetAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool MakeDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool CopyWholeFile(const std::string& source, const std::string& destination, bool failIfExists) {
    return CopyFileA(source.c_str(), destination.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
    return MoveFileA(oldPath.c_str(), newPath.c_str()) != FALSE;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

// Share mode 0 on both opens: while a file is copied nobody else may open it, and a source
// that another program holds open cannot be opened here, so it is skipped.
FileHandle OpenForReading(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return reinterpret_cast<FileHandle>(file);
}

FileHandle CreateForWriting(const std::string& path) {
    // Windows refuses to replace a read-only, hidden or system file when plain attributes are
    // asked for. Wine replaces hidden and system files, and read-only ones too when run by
    // root, so the rule is applied here as well; on Windows the outcome is the same.
    const DWORD existing = GetFileAttributesA(path.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return kInvalidFile;
    }
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return reinterpret_cast<FileHandle>(file);
}

bool ReadChunk(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t& read) {
    DWORD count = 0;
    const bool ok = ReadFile(win32::ToHandle(file), buffer, size, &count, nullptr) != FALSE;
    read = count;
    return ok;
}

bool WriteChunk(FileHandle file, const void* buffer, std::uint32_t size, std::uint32_t& written) {
    DWORD count = 0;
    const bool ok = WriteFile(win32::ToHandle(file), buffer, size, &count, nullptr) != FALSE;
    written = count;
    return ok;
}

// The whole 64-bit size, so that files of 2 GiB and more are copied whole.
bool FileSize(FileHandle file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(win32::ToHandle(file), &value)) return false;
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool LastWriteTime(FileHandle file, FileTime& time) {
    FILETIME lastWrite;
    if (!GetFileTime(win32::ToHandle(file), nullptr, nullptr, &lastWrite)) return false;
    time = win32::FromFiletime(lastWrite);
    return true;
}

bool StampLastWriteTime(FileHandle file, FileTime time) {
    const FILETIME lastWrite = win32::ToFiletime(time);
    return SetFileTime(win32::ToHandle(file), nullptr, nullptr, &lastWrite) != FALSE;
}

void CloseFile(FileHandle file) {
    if (file != kInvalidFile) CloseHandle(win32::ToHandle(file));
}

}  // namespace platform
