// The system's log on POSIX: syslog(3), which hands the entry to the log daemon's socket
// /dev/log (journald's where it runs, rsyslog's, ...).
//
// syslog(3) reports nothing: without a daemon listening it drops the entry silently. So the
// socket is tried first, as syslog connects to it (a datagram socket, a stream socket when the
// daemon takes streams), and an entry that has nowhere to go is refused with the reason.

#include "platform/SystemLog.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/PosixInternal.h"

namespace platform {
namespace {

constexpr char kLogSocket[] = "/dev/log";  // glibc's _PATH_LOG

// The syslog level of an event; -1 for a number this build does not know.
int Level(SystemLogEvent event) {
    switch (event) {
        case SystemLogEvent::kRunComplete:
            return LOG_INFO;
        case SystemLogEvent::kRunCompleteWithFailures:
        case SystemLogEvent::kNoRecentCompleteBackup:
            return LOG_WARNING;
        case SystemLogEvent::kRunInterrupted:
            return LOG_ERR;
    }
    return -1;
}

// Whether the log daemon's socket takes a connection of either kind syslog(3) makes.
bool LogSocketAnswers() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, kLogSocket, sizeof kLogSocket);
    int error = 0;
    for (const int type : {SOCK_DGRAM, SOCK_STREAM}) {
        const int socket = ::socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
        if (socket < 0) {
            posix::RememberErrno();
            return false;
        }
        const int connected =
            connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        error = errno;
        close(socket);
        if (connected == 0) return true;
        if (error != EPROTOTYPE) break;  // a datagram socket refused for its kind: try a stream
    }
    posix::RememberError(std::string(kLogSocket) + ": " + std::strerror(error));
    return false;
}

}  // namespace

bool WriteSystemLog(SystemLogEvent event, const std::string& text) {
    const int level = Level(event);
    if (level < 0) {
        posix::RememberError("Unknown event " + std::to_string(static_cast<std::uint32_t>(event)));
        return false;
    }
    if (!LogSocketAnswers()) return false;
    openlog("Duplora", LOG_PID, LOG_USER);
    syslog(LOG_USER | level, "%s", text.c_str());
    return true;
}

}  // namespace platform
