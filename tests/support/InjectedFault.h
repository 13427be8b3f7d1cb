#pragma once
// What no real file gives on demand (a read error part-way, a failing close, a file that grows
// while it is copied, a file system that lists no entry types, refuses a time or a mode, or
// refuses to copy in the kernel), armed
// in this process by the test-only shim tests/support/FaultShim.cpp. CTest preloads the shim into
// the test programs that use this; run by hand without it, Available() is false and the tests
// that need a fault skip.

#include <string>

class InjectedFault {
public:
    enum class Call {
        // Reads of the file, and in-kernel copies from it (copy_file_range), end after `pass`
        // bytes: with `error`, or as the file's end when it is 0.
        kRead = 0,
        kLseek = 1,
        kClose = 2,
        // Before the first read or in-kernel copy of the file, `pass` bytes are appended to it
        // (`error` unused).
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
        // In-kernel copies from the file (copy_file_range) move `pass` bytes, then fail with
        // `error` (EXDEV, EOPNOTSUPP, ...: a file system that refuses them), or copy nothing (0)
        // when it is 0, as some file systems answer: reads of the file are untouched.
        kCopyRange = 8,
        // Looking the open file up (fstat) fails with `error` once `pass` calls went through.
        kDescribe = 9,
    };

    // Calls `call` on files whose path holds `pathPart` fail with `error` (a POSIX errno) once
    // `pass` have gone through: for kRead and kCopyRange, `pass` counts bytes.
    InjectedFault(Call call, const std::string& pathPart, long long pass = 0, int error = 0);
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;

    static bool Available();

private:
    Call call_;
};
