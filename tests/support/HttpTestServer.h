#pragma once
// The tests' local HTTP and HTTPS server (support/http-test-server.py), which the CTest fixture
// HttpServer starts on 127.0.0.1 before the tests that use it (duplora_use_http_server in
// tests/CMakeLists.txt) and stops after them. They find it in their environment:
// DUPLORA_HTTP_SERVER=127.0.0.1:<first port>, DUPLORA_HTTP_FOLDER=<its folder, a host path>.
// Under Wine the folder is read through the Z: drive, which is the host's root.
//
// It records every request it reads and every HTTPS connection when it ends, in order; a test
// takes a Mark() before its request and reads what came after it.

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct RecordedRequest {
    int port = 0;
    std::string method;
    std::string target;  // path and query, byte for byte
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;  // byte for byte

    // The value of the first header of that name (ASCII case ignored); empty when none.
    std::string Header(const std::string& name) const;
};

// One HTTPS connection, once it ended: how many requests came over it, and its handshake.
struct RecordedConnection {
    int port = 0;
    int requests = 0;
    std::string outcome;  // "tls-ok" or "tls-failed: <the server's reason>"
};

class HttpTestServer {
public:
    // From the environment; Available() is false outside CTest (WhyNot() says so).
    HttpTestServer();

    bool Available() const { return whyNot_.empty(); }
    const std::string& WhyNot() const { return whyNot_; }

    int HttpPort() const { return port_; }
    int HttpsPort() const { return port_ + 1; }           // a certificate of the test CA
    int UntrustedHttpsPort() const { return port_ + 2; }  // one of a CA no test trusts
    int SilentPort() const { return port_ + 3; }          // accepts and never answers, not even TLS
    int RefusedPort() const { return port_ + 4; }         // refuses every connection

    // "<scheme>://127.0.0.1:<port><target>"
    std::string Url(const std::string& scheme, int port, const std::string& target) const;

    // The test CA that issued the HTTPS port's certificate (PEM and DER), as paths this process
    // opens.
    std::string CaPemFile() const;
    std::string CaDerFile() const;

    // How far the record goes now.
    std::size_t Mark() const;
    // What the server recorded after `mark`.
    std::vector<RecordedRequest> RequestsSince(std::size_t mark) const;
    std::vector<RecordedConnection> ConnectionsSince(std::size_t mark) const;
    // Waits, at most `limit`, for an HTTPS connection after `mark` to end.
    std::vector<RecordedConnection> WaitForConnectionsSince(
        std::size_t mark, std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

private:
    struct Record {
        std::vector<RecordedRequest> requests;
        std::vector<RecordedConnection> connections;
        std::vector<std::pair<bool, std::size_t>> order;  // (is a request, its index)
    };
    Record Read() const;
    std::string File(const std::string& name) const;

    int port_ = 0;
    std::string folder_;
    std::string whyNot_;
};
