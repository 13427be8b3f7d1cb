#pragma once
// A fault that no real file gives on demand (a read error part-way, a failing close), armed in
// this process by the test-only shim tests/support/FaultShim.cpp. CTest preloads the shim into
// the test programs that use this; run by hand without it, Available() is false and the tests
// that need a fault skip.

#include <string>

class InjectedFault {
public:
    enum class Call { kRead = 0, kLseek = 1, kClose = 2 };

    // Calls `call` on files whose path holds `pathPart` fail with `error` (a POSIX errno) once
    // `pass` have gone through: for kRead, `pass` counts bytes, and error 0 ends the file there.
    InjectedFault(Call call, const std::string& pathPart, long long pass, int error);
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;

    static bool Available();

private:
    Call call_;
};
