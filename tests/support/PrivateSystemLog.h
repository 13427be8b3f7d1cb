#pragma once
// A system log of the test's own on Linux. syslog(3) sends each entry to the log daemon's socket
// /dev/log (journald's, rsyslog's); a test binds a datagram socket of its own (LogSocket) and,
// in a child process, puts it at /dev/log of a mount namespace of the child's own
// (EnterPrivateDevWithLog), so that what the child writes to the system's log reaches the test,
// and nothing of it the machine's log. Mounting needs root.

#include <string>
#include <vector>

// A datagram socket bound to a path, as a log daemon binds /dev/log.
class LogSocket {
public:
    explicit LogSocket(const std::string& path);
    ~LogSocket() { Close(); }
    LogSocket(const LogSocket&) = delete;
    LogSocket& operator=(const LogSocket&) = delete;

    bool Bound() const { return socket_ >= 0; }
    const std::string& Path() const { return path_; }
    // No daemon listens any more; the socket's file stays.
    void Close();
    // Every datagram that has arrived.
    std::vector<std::string> Received() const;

private:
    std::string path_;
    int socket_ = -1;
};

// Why a private /dev/log cannot be had here (not root); empty when it can.
std::string WhyNoPrivateSystemLog();

// In the calling process (a child the test forked): a mount namespace of its own whose /dev is a
// tmpfs holding the usual devices (null, zero, full, random, urandom, shm) and, at /dev/log, the
// socket file `socketPath` (no /dev/log when it is empty). Empty when done; else what failed, with
// the system's reason.
std::string EnterPrivateDevWithLog(const std::string& socketPath);
