#pragma once
// A private Firebird server for one test, to be stopped in the middle of its work: its own
// configuration, security database (SYSDBA / plumcider), lock folder and loopback port, all in
// the test's folder, run as a child process of the test. The shared test server is not touched.

#include <sys/types.h>

#include <string>

#include "support/TestFolder.h"

class FirebirdTestServer {
public:
    // Starts the server and returns once it accepts connections. Throws std::runtime_error
    // with the server's output when it does not start.
    explicit FirebirdTestServer(const TestFolder& folder);
    ~FirebirdTestServer();
    FirebirdTestServer(const FirebirdTestServer&) = delete;
    FirebirdTestServer& operator=(const FirebirdTestServer&) = delete;

    int Port() const { return port_; }
    // Ends the server at once (SIGKILL), as a crash or a pulled cable would.
    void Kill();

private:
    std::string root_;
    int port_ = 0;
    pid_t pid_ = -1;
};
