#pragma once
// What no real file gives on demand (a read error part-way, a failing close, a file that grows
// while it is copied, a file system that lists no entry types or refuses a time or a mode), armed
// in this process by the test-only shim tests/support/FaultShim.cpp. CTest preloads the shim into
// the test programs that use this; run by hand without it, Available() is false and the tests
// that need a fault skip.

#include <string>

class InjectedFault {
public:
    enum class Call {
        kRead = 0,
        kLseek = 1,
        kClose = 2,
        // Before the first read of the file, `pass` bytes are appended to it (`error` unused).
        kGrowBeforeRead = 3,
        // Listings of the folder give every entry's type as unknown, DT_UNKNOWN, as some file
        // systems do (`pass` and `error` unused).
        kListUnknownTypes = 4,
        // Listings of the folder break off with `error` once `pass` reads of it went through.
        kListFails = 5,
        // Setting the file's last-write time (futimens, utimensat) fails with `error`.
        kSetTime = 6,
        // Changing the file's permission bits (fchmod, chmod) fails with `error`.
        kSetMode = 7,
    };

    // Calls `call` on files whose path holds `pathPart` fail with `error` (a POSIX errno) once
    // `pass` have gone through: for kRead, `pass` counts bytes, and error 0 ends the file there.
    InjectedFault(Call call, const std::string& pathPart, long long pass = 0, int error = 0);
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;

    static bool Available();

private:
    Call call_;
};
