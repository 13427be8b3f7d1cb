#pragma once
// What this process asks the system about paths that hold a given text, as the test-only shim
// tests/support/FaultShim.cpp sees it while a WatchedCalls lives: look-ups, opens and the sizes
// that reads and in-kernel copies ask for. CTest preloads the shim into the test programs that use
// this; run by hand without it, Available() is false and the tests that need it skip.

#include <string>
#include <vector>

class WatchedCalls {
public:
    explicit WatchedCalls(const std::string& pathPart);
    ~WatchedCalls();
    WatchedCalls(const WatchedCalls&) = delete;
    WatchedCalls& operator=(const WatchedCalls&) = delete;

    // Calls that read an entry's attributes, by name or by descriptor: the stat family and
    // access, and opendir, which reads the opened folder's with fstat.
    long long LookUps() const;
    // Opens of files and folders (open, openat, opendir).
    long long Opens() const;
    // The sizes that reads of such files, and in-kernel copies from them (copy_file_range), asked
    // for, in order.
    std::vector<long long> ReadSizes() const;

    static bool Available();
    // How often the process has called umask since it started, on any thread.
    static long long UmaskCalls();

private:
    int watch_;
};
