#pragma once
// A bound on how long a connection's calls of the client library may wait for the server. The
// client bounds a connect (isc_dpb_connect_timeout), but a call on an open connection waits for
// the server's answer as long as it takes: a server that freezes would hold the run, and with it
// the window and the daily schedule, for good. While a call is watched, a thread of the watch
// waits for its limit; a call still waiting then is cut off with fb_cancel_operation's abort,
// which closes the connection's socket, and the call returns with the client's error.

#include <ibase.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "database/ClientLibrary.h"

class CallWatch {
public:
    explicit CallWatch(const ClientLibrary& client) : client_(client) {}
    ~CallWatch();
    CallWatch(const CallWatch&) = delete;
    CallWatch& operator=(const CallWatch&) = delete;

    // The calls on the connection `handle` made while this lives are cut off once `limit` has
    // passed; nothing is watched without a limit or a handle, or with a client library that has
    // no fb_cancel_operation (one older than Firebird 2.5). Watches nest: the outermost bounds.
    class Watched {
    public:
        Watched(CallWatch& watch, isc_db_handle handle, std::optional<std::chrono::seconds> limit);
        ~Watched();
        Watched(Watched&& other) noexcept : watch_(other.watch_), armed_(other.armed_) {
            other.armed_ = false;
        }
        Watched& operator=(Watched&&) = delete;

    private:
        CallWatch& watch_;
        bool armed_ = false;
    };

    // Whether a call on the connection was cut off: the client then fails every later call on it
    // (the call that was cut off itself may still return what the client had received).
    bool CutOff() const;
    // A connection made anew, not cut off.
    void NewConnection();

private:
    void Arm(isc_db_handle handle, std::chrono::seconds limit);
    void Disarm();
    void Watch();

    const ClientLibrary& client_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;  // started by the first call watched
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    isc_db_handle handle_ = 0;
    int depth_ = 0;
    bool cutOff_ = false;
    bool stopping_ = false;
};
