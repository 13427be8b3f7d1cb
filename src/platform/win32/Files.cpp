// Directory search, attributes, folders, renames and files open for reading: the Win32 file API
// itself.

#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {
namespace {

void Fill(const WIN32_FIND_DATAA& data, FindData& entry) {
    entry.name.assign(data.cFileName);
    entry.attributes = data.dwFileAttributes;
    entry.lastWriteTime = win32::FromFiletime(data.ftLastWriteTime);
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

void Folder::Impl::Check() {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    open = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (open) return;
    if (attributes != INVALID_FILE_ATTRIBUTES) ::SetLastError(ERROR_DIRECTORY);
    const DWORD error = GetLastError();
    notFound = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    whyNot = win32::ErrorText(error);
    ::SetLastError(error);
}

Folder::Folder(const std::string& path) : impl_(std::make_unique<Impl>()) {
    impl_->path = path;
    if (path.empty() || path.back() != '\\') impl_->path += '\\';
    impl_->Check();
}

Folder::Folder(const Folder& parent, const std::string& name) : impl_(std::make_unique<Impl>()) {
    impl_->path = parent.impl_->path + name + '\\';
    impl_->Check();
}

Folder::~Folder() = default;
Folder::Folder(Folder&&) noexcept = default;
Folder& Folder::operator=(Folder&&) noexcept = default;

bool Folder::IsOpen() const { return impl_->open; }

bool Folder::Find(const std::string& name, FindData& entry) const {
    impl_->entryPath.assign(impl_->path).append(name);
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(impl_->entryPath.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    Fill(data, entry);
    return true;
}

Outcome Folder::Rename(const std::string& name, const std::string& newName) const {
    if (!impl_->open) return {false, impl_->whyNot};
    if (MoveFileA((impl_->path + name).c_str(), (impl_->path + newName).c_str())) return {true, {}};
    return {false, win32::ErrorText(GetLastError())};
}

struct DirectorySearch::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    FindData entry;
    bool found = false;
    bool interrupted = false;

    void Start(const std::string& pattern) {
        WIN32_FIND_DATAA data;
        handle = FindFirstFileA(pattern.c_str(), &data);
        found = handle != INVALID_HANDLE_VALUE;
        if (found) Fill(data, entry);
    }
};

DirectorySearch::DirectorySearch(const std::string& pattern) : impl_(std::make_unique<Impl>()) {
    impl_->Start(pattern);
}

DirectorySearch::DirectorySearch(const Folder& folder) : impl_(std::make_unique<Impl>()) {
    if (folder.IsOpen()) impl_->Start(folder.impl_->path + "*.*");
}

DirectorySearch::~DirectorySearch() {
    if (impl_->handle != INVALID_HANDLE_VALUE) FindClose(impl_->handle);
}

bool DirectorySearch::Found() const { return impl_->found; }

void DirectorySearch::Next() {
    if (!impl_->found) return;
    WIN32_FIND_DATAA data;
    impl_->found = FindNextFileA(impl_->handle, &data) != FALSE;
    if (impl_->found)
        Fill(data, impl_->entry);
    else
        impl_->interrupted = GetLastError() != ERROR_NO_MORE_FILES;
}

const std::string& DirectorySearch::Name() const { return impl_->entry.name; }

bool DirectorySearch::Interrupted() const { return impl_->interrupted; }

std::uint32_t DirectorySearch::Kind() const { return impl_->entry.attributes & kKindAttributes; }

const FindData* DirectorySearch::Entry() const { return impl_->found ? &impl_->entry : nullptr; }

std::uint32_t GetAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool SetAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool MakeDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
    return MoveFileA(oldPath.c_str(), newPath.c_str()) != FALSE;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

// Share mode 0: while the file is read nobody else may open it, and one that another program
// holds open cannot be opened here.
FileHandle OpenForReading(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    // A device name (CON, a pipe) opens too; reading it could wait for ever.
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        ::SetLastError(ERROR_ACCESS_DENIED);
        return kInvalidFile;
    }
    return reinterpret_cast<FileHandle>(file);
}

bool ReadChunk(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t& read) {
    DWORD count = 0;
    const bool ok = ReadFile(win32::ToHandle(file), buffer, size, &count, nullptr) != FALSE;
    read = count;
    return ok;
}

// The whole 64-bit size, so that files of 2 GiB and more are copied whole.
bool FileSize(FileHandle file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(win32::ToHandle(file), &value)) return false;
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool CloseFile(FileHandle file) {
    return file == kInvalidFile || CloseHandle(win32::ToHandle(file)) != FALSE;
}

}  // namespace platform
