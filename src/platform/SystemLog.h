#pragma once
// The system's log: where the monitoring tools of a machine look (Windows Event Viewer and its
// forwarding; journald, rsyslog and the tools that read them on Linux).

#include <cstdint>
#include <string>

namespace platform {

// The events Duplora writes to the system's log, each with its number and level.
enum class SystemLogEvent : std::uint32_t {
    kRunComplete = 1,              // information
    kRunCompleteWithFailures = 2,  // warning
    kRunInterrupted = 3,           // error
    // warning: the daily run is on and the last complete backup is old
    kNoRecentCompleteBackup = 4,
};

// Writes one entry, source "Duplora", with `text` (the program's encoding) as its whole text:
// Windows: the Application event log (RegisterEventSourceA / ReportEventA with the event's number
// and level; the text is the one insertion string of a message-table entry "%1" compiled into
// Duplora.exe, so Event Viewer shows it whole, without "the description cannot be found"; writing
// works without the source registered, which needs an administrator and the installer does).
// POSIX: syslog (openlog("Duplora", LOG_PID, LOG_USER), priority LOG_INFO / LOG_WARNING / LOG_ERR);
// the journal takes it where one runs. False when it could not be written (LastErrorText says
// why); never throws, and a log that cannot be written never changes anything else.
bool WriteSystemLog(SystemLogEvent event, const std::string& text);

}  // namespace platform
