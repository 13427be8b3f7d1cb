#pragma once
// A relay between the database link and the tests' server, for the Windows build: it passes every
// byte on in both directions until it is frozen, and from then on passes nothing and closes
// nothing, as a server machine that hangs. One connection at a time; Winsock.

#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

class FreezingRelay {
public:
    // Listens on 127.0.0.1, on a port of its own, for connections that it relays to
    // `host`:`port`. Throws std::runtime_error with Winsock's error when it cannot.
    FreezingRelay(const std::string& host, int port);
    ~FreezingRelay();
    FreezingRelay(const FreezingRelay&) = delete;
    FreezingRelay& operator=(const FreezingRelay&) = delete;

    int Port() const { return port_; }
    // Nothing is passed on for `lasting` from now on (a test whose time-out does not hold then
    // ends all the same).
    void Freeze(std::chrono::seconds lasting) {
        thawAt_ = std::chrono::steady_clock::now() + lasting;
        frozen_ = true;
    }

private:
    void Relay();

    std::string host_;
    int serverPort_;
    SOCKET listening_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> frozen_ = false;
    std::chrono::steady_clock::time_point thawAt_;  // set before frozen_
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};
