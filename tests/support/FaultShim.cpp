// What no real file gives on demand, for the tests only: this library is preloaded (LD_PRELOAD)
// into the test programs that ask for it, and stands in front of the C library's calls on files
// and folders. It does nothing until a test asks for something:
// - a fault armed through InjectedFault (InjectedFault.h) hits the calls on files whose path
//   holds a given text: a failing read, lseek, close or fstat, a file that grows before it is
//   read, a listing that tells no entry's type or breaks off, a file whose time or mode cannot be
//   set, a file system that refuses to copy in the kernel or copies less than it is asked;
// - a watch set through WatchedCalls (WatchedCalls.h) counts the look-ups and opens of paths that
//   hold a given text, and records the sizes that reads and in-kernel copies of such files ask
//   for;
// - every call of umask is counted.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

enum Call {
    kRead,
    kLseek,
    kClose,
    kGrowBeforeRead,
    kListUnknownTypes,
    kListFails,
    kSetTime,
    kSetMode,
    kCopyRange,
    kDescribe,
    kCallCount
};

struct Fault {
    bool armed = false;
    char pathPart[PATH_MAX] = {};
    long long pass = 0;  // read, copy range: bytes that go through first; growth: bytes; else calls
    int error = 0;       // 0 for read: the file ends there
};

Fault faults[kCallCount];

struct Watch {
    bool armed = false;
    char pathPart[PATH_MAX] = {};
    long long lookUps = 0;
    long long opens = 0;
    static constexpr int kReadCapacity = 256;
    long long readSizes[kReadCapacity] = {};
    int reads = 0;
};

constexpr int kWatchCount = 4;
Watch watches[kWatchCount];

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool Watching() {
    return std::any_of(std::begin(watches), std::end(watches),
                       [](const Watch& w) { return w.armed; });
}

// The path that `fd` has open; empty when none.
std::string PathOf(int fd) {
    char link[64];
    char path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const int savedErrno = errno;
    const ssize_t length = readlink(link, path, sizeof path - 1);
    errno = savedErrno;
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// The path that `name` names relative to the folder `dirFd` has open.
std::string PathAt(int dirFd, const char* name) {
    if (name[0] == '/' || dirFd == AT_FDCWD) return name;
    return PathOf(dirFd) + "/" + name;
}

bool HitsPath(Call call, const std::string& path) {
    const Fault& fault = faults[call];
    return fault.armed && path.find(fault.pathPart) != std::string::npos;
}

bool Hits(Call call, int fd) { return faults[call].armed && HitsPath(call, PathOf(fd)); }

// The calls that pass before the fault; true when this one is to fail.
bool Due(Call call) {
    Fault& fault = faults[call];
    if (fault.pass > 0) {
        --fault.pass;
        return false;
    }
    return true;
}

enum class Seen { kLookUp, kOpen, kLookUpAndOpen };

void Count(Seen seen, const std::string& path) {
    for (Watch& watch : watches) {
        if (!watch.armed || path.find(watch.pathPart) == std::string::npos) continue;
        if (seen != Seen::kOpen) ++watch.lookUps;
        if (seen != Seen::kLookUp) ++watch.opens;
    }
}

void CountPath(Seen seen, const char* path) {
    if (Watching()) Count(seen, path);
}

void CountAt(Seen seen, int dirFd, const char* path) {
    if (Watching()) Count(seen, PathAt(dirFd, path));
}

void CountFd(Seen seen, int fd) {
    if (Watching()) Count(seen, PathOf(fd));
}

void RecordRead(int fd, size_t size) {
    if (!Watching()) return;
    const std::string path = PathOf(fd);
    for (Watch& watch : watches)
        if (watch.armed && path.find(watch.pathPart) != std::string::npos &&
            watch.reads < Watch::kReadCapacity)
            watch.readSizes[watch.reads++] = static_cast<long long>(size);
}

// A file that another program lengthens after it was measured: once, before its first read.
void GrowBeforeRead(int fd) {
    if (!Hits(kGrowBeforeRead, fd)) return;
    Fault& fault = faults[kGrowBeforeRead];
    fault.armed = false;
    static const auto realOpen = Next<int (*)(const char*, int, ...)>("open");
    static const auto realClose = Next<int (*)(int)>("close");
    const int savedErrno = errno;
    const int appender = realOpen(PathOf(fd).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const std::string more(static_cast<size_t>(fault.pass), 'g');
    if (appender >= 0) {
        if (write(appender, more.data(), more.size()) != static_cast<ssize_t>(more.size()))
            std::fprintf(stderr, "fault shim: the file did not grow\n");
        realClose(appender);
    }
    errno = savedErrno;
}

int Refused(Call call) {
    errno = faults[call].error;
    return -1;
}

long long umaskCalls = 0;

mode_t ModeArgument(int flags, va_list arguments) {
    return __OPEN_NEEDS_MODE(flags) ? va_arg(arguments, mode_t) : 0;
}

}  // namespace

#define EXPORTED extern "C" __attribute__((visibility("default")))

EXPORTED void DuploraArmFault(int call, const char* pathPart, long long pass, int error) {
    Fault& fault = faults[call];
    std::snprintf(fault.pathPart, sizeof fault.pathPart, "%s", pathPart);
    fault.pass = pass;
    fault.error = error;
    fault.armed = true;
}

EXPORTED void DuploraDisarmFault(int call) { faults[call].armed = false; }

// The watch's number, or -1 when every watch is taken.
EXPORTED int DuploraWatch(const char* pathPart) {
    for (int i = 0; i < kWatchCount; ++i) {
        if (watches[i].armed) continue;
        watches[i] = Watch{};
        std::snprintf(watches[i].pathPart, sizeof watches[i].pathPart, "%s", pathPart);
        watches[i].armed = true;
        return i;
    }
    return -1;
}

EXPORTED void DuploraUnwatch(int watch) { watches[watch].armed = false; }

EXPORTED long long DuploraUmaskCalls() { return umaskCalls; }

EXPORTED mode_t umask(mode_t mask) noexcept {
    static const auto next = Next<mode_t (*)(mode_t)>("umask");
    ++umaskCalls;
    return next(mask);
}

// The look-ups and opens counted so far; the read sizes recorded go into `readSizes` (at most
// `capacity`), and their number is returned.
EXPORTED int DuploraWatched(int watch, long long* lookUps, long long* opens, long long* readSizes,
                            int capacity) {
    const Watch& w = watches[watch];
    *lookUps = w.lookUps;
    *opens = w.opens;
    const int reads = std::min(w.reads, capacity);
    std::copy(w.readSizes, w.readSizes + reads, readSizes);
    return reads;
}

EXPORTED ssize_t read(int fd, void* buffer, size_t size) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
    RecordRead(fd, size);
    GrowBeforeRead(fd);
    if (!Hits(kRead, fd)) return next(fd, buffer, size);
    Fault& fault = faults[kRead];
    if (fault.pass > 0) {
        const ssize_t n = next(fd, buffer, std::min(size, static_cast<size_t>(fault.pass)));
        if (n > 0) fault.pass -= n;
        return n;
    }
    if (fault.error == 0) return 0;
    errno = fault.error;
    return -1;
}

// An in-kernel copy reads its source as read does: it is watched and faulted alike. A file
// system that refuses such copies, or copies less than asked, is kCopyRange: its `pass` bytes go
// through (each call moving at most what is left of them), then calls fail with its error, or copy
// nothing (0) when that is 0.
EXPORTED ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset,
                                 size_t length, unsigned flags) {
    static const auto next =
        Next<ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned)>("copy_file_range");
    RecordRead(in, length);
    GrowBeforeRead(in);
    for (const Call call : {kCopyRange, kRead}) {
        if (!Hits(call, in)) continue;
        Fault& fault = faults[call];
        if (fault.pass > 0) {
            const ssize_t n = next(in, inOffset, out, outOffset,
                                   std::min(length, static_cast<size_t>(fault.pass)), flags);
            if (n > 0) fault.pass -= n;
            return n;
        }
        if (fault.error == 0) return 0;
        errno = fault.error;
        return -1;
    }
    return next(in, inOffset, out, outOffset, length, flags);
}

EXPORTED off_t lseek(int fd, off_t offset, int whence) noexcept {
    static const auto next = Next<off_t (*)(int, off_t, int)>("lseek");
    if (!Hits(kLseek, fd) || !Due(kLseek)) return next(fd, offset, whence);
    errno = faults[kLseek].error;
    return -1;
}

EXPORTED off_t lseek64(int fd, off_t offset, int whence) noexcept {
    return lseek(fd, offset, whence);
}

// The descriptor is closed all the same, as the system does when close reports a delayed
// write error.
EXPORTED int close(int fd) {
    static const auto next = Next<int (*)(int)>("close");
    const bool hit = Hits(kClose, fd) && Due(kClose);
    const int result = next(fd);
    if (!hit || result != 0) return result;
    errno = faults[kClose].error;
    return -1;
}

// A file whose last-write time cannot be set, or whose permission bits cannot be changed (a file
// system that refuses them, a file of another owner).

EXPORTED int futimens(int fd, const timespec times[2]) noexcept {
    static const auto next = Next<int (*)(int, const timespec*)>("futimens");
    if (Hits(kSetTime, fd) && Due(kSetTime)) return Refused(kSetTime);
    return next(fd, times);
}

EXPORTED int utimensat(int dirFd, const char* path, const timespec times[2], int flags) noexcept {
    static const auto next = Next<int (*)(int, const char*, const timespec*, int)>("utimensat");
    if (faults[kSetTime].armed && HitsPath(kSetTime, PathAt(dirFd, path)) && Due(kSetTime))
        return Refused(kSetTime);
    return next(dirFd, path, times, flags);
}

EXPORTED int fchmod(int fd, mode_t mode) noexcept {
    static const auto next = Next<int (*)(int, mode_t)>("fchmod");
    if (Hits(kSetMode, fd) && Due(kSetMode)) return Refused(kSetMode);
    return next(fd, mode);
}

EXPORTED int chmod(const char* path, mode_t mode) noexcept {
    static const auto next = Next<int (*)(const char*, mode_t)>("chmod");
    if (HitsPath(kSetMode, path) && Due(kSetMode)) return Refused(kSetMode);
    return next(path, mode);
}

// A file system that lists no entry types, as some do: every entry reads DT_UNKNOWN.
EXPORTED ssize_t getdents64(int fd, void* buffer, size_t length) noexcept {
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("getdents64");
    if (Hits(kListFails, fd) && Due(kListFails)) {
        errno = faults[kListFails].error;
        return -1;
    }
    const ssize_t filled = next(fd, buffer, length);
    if (filled > 0 && Hits(kListUnknownTypes, fd)) {
        for (ssize_t at = 0; at < filled;) {
            auto* entry = reinterpret_cast<dirent64*>(static_cast<char*>(buffer) + at);
            entry->d_type = DT_UNKNOWN;
            at += entry->d_reclen;
        }
    }
    return filled;
}

// Look-ups: the stat family and access read an entry's attributes; opendir and fdopendir read
// the opened folder's with fstat.

EXPORTED int stat(const char* path, struct stat* buffer) noexcept {
    static const auto next = Next<int (*)(const char*, struct stat*)>("stat");
    CountPath(Seen::kLookUp, path);
    return next(path, buffer);
}

EXPORTED int stat64(const char* path, struct stat64* buffer) noexcept {
    static const auto next = Next<int (*)(const char*, struct stat64*)>("stat64");
    CountPath(Seen::kLookUp, path);
    return next(path, buffer);
}

EXPORTED int lstat(const char* path, struct stat* buffer) noexcept {
    static const auto next = Next<int (*)(const char*, struct stat*)>("lstat");
    CountPath(Seen::kLookUp, path);
    return next(path, buffer);
}

EXPORTED int lstat64(const char* path, struct stat64* buffer) noexcept {
    static const auto next = Next<int (*)(const char*, struct stat64*)>("lstat64");
    CountPath(Seen::kLookUp, path);
    return next(path, buffer);
}

EXPORTED int fstat(int fd, struct stat* buffer) noexcept {
    static const auto next = Next<int (*)(int, struct stat*)>("fstat");
    CountFd(Seen::kLookUp, fd);
    if (Hits(kDescribe, fd) && Due(kDescribe)) return Refused(kDescribe);
    return next(fd, buffer);
}

EXPORTED int fstat64(int fd, struct stat64* buffer) noexcept {
    static const auto next = Next<int (*)(int, struct stat64*)>("fstat64");
    CountFd(Seen::kLookUp, fd);
    return next(fd, buffer);
}

EXPORTED int fstatat(int dirFd, const char* path, struct stat* buffer, int flags) noexcept {
    static const auto next = Next<int (*)(int, const char*, struct stat*, int)>("fstatat");
    CountAt(Seen::kLookUp, dirFd, path);
    return next(dirFd, path, buffer, flags);
}

EXPORTED int fstatat64(int dirFd, const char* path, struct stat64* buffer, int flags) noexcept {
    static const auto next = Next<int (*)(int, const char*, struct stat64*, int)>("fstatat64");
    CountAt(Seen::kLookUp, dirFd, path);
    return next(dirFd, path, buffer, flags);
}

EXPORTED int statx(int dirFd, const char* path, int flags, unsigned mask,
                   struct statx* buffer) noexcept {
    static const auto next = Next<int (*)(int, const char*, int, unsigned, struct statx*)>("statx");
    CountAt(Seen::kLookUp, dirFd, path);
    return next(dirFd, path, flags, mask, buffer);
}

EXPORTED int access(const char* path, int mode) noexcept {
    static const auto next = Next<int (*)(const char*, int)>("access");
    CountPath(Seen::kLookUp, path);
    return next(path, mode);
}

EXPORTED int faccessat(int dirFd, const char* path, int mode, int flags) noexcept {
    static const auto next = Next<int (*)(int, const char*, int, int)>("faccessat");
    CountAt(Seen::kLookUp, dirFd, path);
    return next(dirFd, path, mode, flags);
}

EXPORTED DIR* opendir(const char* path) {
    static const auto next = Next<DIR* (*)(const char*)>("opendir");
    CountPath(Seen::kLookUpAndOpen, path);
    return next(path);
}

EXPORTED DIR* fdopendir(int fd) {
    static const auto next = Next<DIR* (*)(int)>("fdopendir");
    CountFd(Seen::kLookUp, fd);
    return next(fd);
}

// Opens of files and folders.

EXPORTED int open(const char* path, int flags, ...) {
    static const auto next = Next<int (*)(const char*, int, ...)>("open");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    CountPath(Seen::kOpen, path);
    return next(path, flags, mode);
}

EXPORTED int open64(const char* path, int flags, ...) {
    static const auto next = Next<int (*)(const char*, int, ...)>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    CountPath(Seen::kOpen, path);
    return next(path, flags, mode);
}

EXPORTED int openat(int dirFd, const char* path, int flags, ...) {
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    CountAt(Seen::kOpen, dirFd, path);
    return next(dirFd, path, flags, mode);
}

EXPORTED int openat64(int dirFd, const char* path, int flags, ...) {
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    CountAt(Seen::kOpen, dirFd, path);
    return next(dirFd, path, flags, mode);
}
