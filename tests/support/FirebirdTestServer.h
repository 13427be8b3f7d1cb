#pragma once
// The tests' Firebird servers, all private to the tests and bound to 127.0.0.1
// (tests/support/firebird-test-server.sh runs them):
//
// - the shared test server, which CTest starts once per test run (fixture FirebirdServer) for
//   every test that needs it, and whose address it passes in DUPLORA_FIREBIRD;
// - a FirebirdTestServer of one test's own, to be stopped in the middle of its work: its
//   configuration, security database (SYSDBA / plumcider), lock files and log in the test's
//   folder, on a free port, run as a child process of the test.

#include <sys/types.h>

#include <string>

#include "support/TestFolder.h"

// "127.0.0.1/<port>" of the shared test server (a database on it is
// SharedServerAddress() + ":" + path). Throws std::runtime_error when DUPLORA_FIREBIRD is not
// set, i.e. the test was not run through CTest.
std::string SharedServerAddress();

class FirebirdTestServer {
public:
    // Starts the server on a free port and returns once it accepts connections. Throws
    // std::runtime_error with the server's output and log when it does not start.
    explicit FirebirdTestServer(const TestFolder& folder);
    ~FirebirdTestServer();
    FirebirdTestServer(const FirebirdTestServer&) = delete;
    FirebirdTestServer& operator=(const FirebirdTestServer&) = delete;

    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }
    std::string Address() const { return "127.0.0.1/" + std::to_string(port_); }
    // Ends the server at once (SIGKILL), as a crash or a pulled cable would.
    void Kill();

private:
    std::string root_;
    int port_ = 0;
    pid_t pid_ = -1;
};
