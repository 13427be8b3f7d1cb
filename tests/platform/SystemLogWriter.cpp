// Writes each entry of SystemLogCases.h to the system's log through platform::WriteSystemLog, for
// Win32SystemLogTest, which reads what Wine records of the calls. Its exit code is the number of
// entries that could not be written.

#include <cstdio>

#include "SystemLogCases.h"
#include "platform/SystemError.h"

int main() {
    int notWritten = 0;
    for (const SystemLogCase& entry : kSystemLogCases) {
        if (platform::WriteSystemLog(entry.event, entry.text)) continue;
        std::printf("not written: %s: %s\n", entry.text, platform::LastErrorText().c_str());
        ++notWritten;
    }
    return notWritten;
}
