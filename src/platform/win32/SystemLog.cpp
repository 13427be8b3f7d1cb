// The system's log on Windows: the Application event log, source "Duplora".
//
// The entry carries the event's number as its event ID and the text as its one insertion string.
// Event Viewer finds the text's place through the source's EventMessageFile (Duplora.exe, whose
// message table src/win32/Messages.mc gives every event the message "%1"); the installer
// registers it. Unregistered, the entry is still written, and shown with the system's "the
// description cannot be found" before the same text.

#include "platform/SystemLog.h"

#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {
namespace {

// The entry's type (its level in Event Viewer); 0 for a number this build does not know.
WORD EventType(SystemLogEvent event) {
    switch (event) {
        case SystemLogEvent::kRunComplete:
            return EVENTLOG_INFORMATION_TYPE;
        case SystemLogEvent::kRunCompleteWithFailures:
        case SystemLogEvent::kNoRecentCompleteBackup:
            return EVENTLOG_WARNING_TYPE;
        case SystemLogEvent::kRunInterrupted:
            return EVENTLOG_ERROR_TYPE;
    }
    return 0;
}

}  // namespace

bool WriteSystemLog(SystemLogEvent event, const std::string& text) {
    const WORD type = EventType(event);
    if (type == 0) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const HANDLE source = RegisterEventSourceA(nullptr, "Duplora");
    if (!source) return false;
    const char* strings[] = {text.c_str()};
    const BOOL written =
        ReportEventA(source, type, 0, static_cast<DWORD>(event), nullptr, 1, 0, strings, nullptr);
    const LastErrorKept kept;
    DeregisterEventSource(source);
    return written != FALSE;
}

}  // namespace platform
