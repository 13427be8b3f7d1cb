// Faults that no real file gives on demand, for the tests only: this library is preloaded
// (LD_PRELOAD) into the test programs that ask for it, and stands in front of the C library's
// read, lseek and close. It does nothing until a test arms a fault through InjectedFault
// (InjectedFault.h); an armed fault hits the calls on files whose path holds a given text.

#include <dlfcn.h>
#include <limits.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

enum Call { kRead = 0, kLseek = 1, kClose = 2, kCallCount = 3 };

struct Fault {
    bool armed = false;
    char pathPart[PATH_MAX] = {};
    long long pass = 0;  // read: bytes that go through first; lseek, close: calls
    int error = 0;       // 0 for read: the file ends there
};

Fault faults[kCallCount];

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool Hits(Call call, int fd) {
    const Fault& fault = faults[call];
    if (!fault.armed) return false;
    char link[64];
    char path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const int savedErrno = errno;
    const ssize_t length = readlink(link, path, sizeof path - 1);
    errno = savedErrno;
    if (length <= 0) return false;
    path[length] = '\0';
    return std::strstr(path, fault.pathPart) != nullptr;
}

// The calls that pass before the fault; true when this one is to fail.
bool Due(Call call) {
    Fault& fault = faults[call];
    if (fault.pass > 0) {
        --fault.pass;
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void DuploraArmFault(int call, const char* pathPart,
                                                            long long pass, int error) {
    Fault& fault = faults[call];
    std::snprintf(fault.pathPart, sizeof fault.pathPart, "%s", pathPart);
    fault.pass = pass;
    fault.error = error;
    fault.armed = true;
}

__attribute__((visibility("default"))) void DuploraDisarmFault(int call) {
    faults[call].armed = false;
}

__attribute__((visibility("default"))) ssize_t read(int fd, void* buffer, size_t size) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
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

__attribute__((visibility("default"))) off_t lseek(int fd, off_t offset, int whence) {
    static const auto next = Next<off_t (*)(int, off_t, int)>("lseek");
    if (!Hits(kLseek, fd) || !Due(kLseek)) return next(fd, offset, whence);
    errno = faults[kLseek].error;
    return -1;
}

__attribute__((visibility("default"))) off_t lseek64(int fd, off_t offset, int whence) {
    return lseek(fd, offset, whence);
}

// The descriptor is closed all the same, as the system does when close reports a delayed
// write error.
__attribute__((visibility("default"))) int close(int fd) {
    static const auto next = Next<int (*)(int)>("close");
    const bool hit = Hits(kClose, fd) && Due(kClose);
    const int result = next(fd);
    if (!hit || result != 0) return result;
    errno = faults[kClose].error;
    return -1;
}

}  // extern "C"
