// SendHttp against the tests' local HTTP(S) server (support/HttpTestServer.h): what arrives,
// what comes back, what is refused, and how long a request can hold its caller. The same cases
// run on Linux (libcurl) and, in the Windows build, under Wine (WinHTTP).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/Http.h"
#include "support/HttpTestServer.h"
#include "support/Wine.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h.
#include <wincrypt.h>
#else
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/TestFolder.h"
#endif

using namespace platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Each stack says a failure in its own words.
#ifdef _WIN32
const std::string kTimedOut = "(WinHTTP 12002)";
const std::string kRefused = "(WinHTTP 12029)";
// Windows refuses an untrusted certificate with ERROR_WINHTTP_SECURE_FAILURE; Wine 8 finds the
// same fault (ERROR_WINHTTP_SECURE_INVALID_CA) but returns ERROR_WINHTTP_SECURE_CHANNEL_ERROR.
const std::string kUntrusted = RunningUnderWine() ? "(WinHTTP 12157)" : "(WinHTTP 12175)";
#else
const std::string kTimedOut = "timed out after";
const std::string kRefused = "Failed to connect to 127.0.0.1 port";
const std::string kUntrusted = "SSL certificate problem";
#endif

// A text in UTF-8 whatever the program's execution character set (the Windows build's is
// Windows-1252).
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

const std::string kJson =
    Utf8(u8"{\"linha\":\"Backup concluído às 03:00 — Estação São João, ação nº 2\",\"falhas\":0}");
const std::string kJsonType = "application/json; charset=utf-8";

HttpRequest Request(const std::string& url, const std::string& body = std::string(),
                    const std::string& contentType = std::string(),
                    std::chrono::milliseconds timeLimit = 10s) {
    HttpRequest request;
    request.url = url;
    request.body = body;
    request.contentType = contentType;
    request.timeLimit = timeLimit;
    return request;
}

std::string FileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

#ifdef _WIN32

// The test CA in the machine's trusted roots (LocalMachine\ROOT) for as long as this lives.
// Under Wine that store is the prefix's registry, which crypt32 fills from the host's roots
// when a process first opens it, dropping what the host does not have: the CA stays for this
// process only.
class TrustedTestCa {
public:
    explicit TrustedTestCa(const std::string& derFile) {
        const std::string der = FileContent(derFile);
        store_ =
            CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT");
        if (!store_) {
            whyNot_ = "CertOpenStore(LocalMachine\\ROOT) failed: " + std::to_string(GetLastError());
        } else if (der.empty()) {
            whyNot_ = "cannot read " + derFile;
        } else if (!CertAddEncodedCertificateToStore(
                       store_, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                       static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added_)) {
            whyNot_ = "CertAddEncodedCertificateToStore failed: " + std::to_string(GetLastError());
        } else if (!CertControlStore(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr)) {
            // Wine's registry store writes what was added only when told to (or closed).
            whyNot_ = "CertControlStore(COMMIT) failed: " + std::to_string(GetLastError());
        }
    }
    ~TrustedTestCa() {
        if (added_) CertDeleteCertificateFromStore(added_);  // frees the context too
        if (store_) CertCloseStore(store_, 0);
    }
    TrustedTestCa(const TrustedTestCa&) = delete;
    TrustedTestCa& operator=(const TrustedTestCa&) = delete;

    const std::string& WhyNot() const { return whyNot_; }

private:
    HCERTSTORE store_ = nullptr;
    PCCERT_CONTEXT added_ = nullptr;
    std::string whyNot_;
};

// WinHTTP checks a certificate with crypt32's default chain engine, which Wine makes once, at a
// process's first HTTPS request, from the trusted roots of that moment. So the test CA is
// trusted from before the first test to after the last, for the whole program; the refusal of
// a CA nobody trusts is shown on the other CA's port.
std::unique_ptr<TrustedTestCa> trustedTestCa;

class TrustTestCa : public ::testing::Environment {
public:
    void SetUp() override {
        const HttpTestServer server;
        if (server.Available()) trustedTestCa = std::make_unique<TrustedTestCa>(server.CaDerFile());
    }
    void TearDown() override { trustedTestCa.reset(); }
};
::testing::Environment* const trustTestCa = ::testing::AddGlobalTestEnvironment(new TrustTestCa);

std::optional<HttpResult> SendTrustingTestCa(const HttpRequest& request, const HttpTestServer&,
                                             std::string& whyNot) {
    whyNot = trustedTestCa ? trustedTestCa->WhyNot() : "the test CA was not added";
    if (!whyNot.empty()) return std::nullopt;
    return SendHttp(request);
}

#else

bool WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Sends `request` from a child process in a mount namespace of its own, in which the system's CA
// bundle, the file libcurl reads its trusted roots from, is a copy with the test CA added. The
// product has no switch for its roots, and the machine's trust store is never changed. Mounting
// needs root: `whyNot` says why it could not be done.
std::optional<HttpResult> SendTrustingTestCa(const HttpRequest& request,
                                             const HttpTestServer& server, std::string& whyNot) {
    constexpr const char* kBundle = "/etc/ssl/certs/ca-certificates.crt";
    if (geteuid() != 0) {
        whyNot =
            "trusting the test CA needs root, to mount a CA bundle in a namespace of the "
            "test's own (running as uid " +
            std::to_string(geteuid()) + ")";
        return std::nullopt;
    }
    const std::string system = FileContent(kBundle);
    if (system.empty()) {
        ADD_FAILURE() << "the system's CA bundle " << kBundle
                      << " is missing (package ca-certificates)";
        return std::nullopt;
    }
    TestFolder folder;
    folder.Write("ca-certificates.crt", system + FileContent(server.CaPemFile()));
    const std::string bundle = folder.Path("ca-certificates.crt");

    int channel[2];
    if (pipe(channel) != 0) {
        whyNot = std::string("pipe: ") + std::strerror(errno);
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string message;
        if (unshare(CLONE_NEWNS) != 0)
            message = std::string("Eunshare(CLONE_NEWNS): ") + std::strerror(errno);
        else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            message = std::string("Emaking the mounts private: ") + std::strerror(errno);
        else if (mount(bundle.c_str(), kBundle, nullptr, MS_BIND, nullptr) != 0)
            message = std::string("Ebind-mounting the CA bundle: ") + std::strerror(errno);
        else {
            const HttpResult result = SendHttp(request);
            message = std::string("R") + (result.delivered ? "1" : "0") + " " +
                      std::to_string(result.status) + " " + result.failure;
        }
        WriteAll(channel[1], message);
        _exit(0);
    }
    close(channel[1]);
    if (child < 0) {
        close(channel[0]);
        whyNot = std::string("fork: ") + std::strerror(errno);
        return std::nullopt;
    }
    std::string message;
    char buffer[512];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (message.empty() || message[0] == 'E') {
        whyNot = message.empty() ? "the child process said nothing" : message.substr(1);
        return std::nullopt;
    }
    std::istringstream words(message.substr(1));
    HttpResult result;
    words >> result.delivered >> result.status >> std::ws;
    std::getline(words, result.failure, '\0');
    return result;
}

#endif

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Available()) FAIL() << server.WhyNot();
    }

    HttpTestServer server;
};

TEST_F(HttpTest, RequestsArriveWholeAndTheStatusDecides) {
    struct Case {
        const char* what;
        std::string target;
        std::string body;
        std::string contentType;
        int status;
        std::string failure;  // empty: delivered
    };
    const Case cases[] = {
        {"a GET with its query", "/ping/ok?texto=Backup%20conclu%C3%ADdo&m=ESTA%C3%87%C3%83O-01",
         "", "", 200, ""},
        {"a POST of JSON in UTF-8", "/webhook/x?token=abc123", kJson, kJsonType, 200, ""},
        {"a GET answered 404", "/status/404/ping/fail", "", "", 404, "HTTP 404 Not Found"},
        {"a POST answered 500", "/status/500/webhook", kJson, kJsonType, 500,
         "HTTP 500 Internal Server Error"},
        {"a redirect, not followed", "/status/302/ping", "", "", 302, "HTTP 302 Found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t mark = server.Mark();
        const HttpResult result = SendHttp(
            Request(server.Url("http", server.HttpPort(), c.target), c.body, c.contentType));
        EXPECT_EQ(result.delivered, c.failure.empty());
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.failure, c.failure);

        // One request each: a redirect followed would have added a second.
        const std::vector<RecordedRequest> requests = server.RequestsSince(mark);
        ASSERT_EQ(requests.size(), 1u);
        const RecordedRequest& arrived = requests[0];
        EXPECT_EQ(arrived.method, c.body.empty() ? "GET" : "POST");
        EXPECT_EQ(arrived.target, c.target);
        EXPECT_EQ(arrived.body, c.body);
        EXPECT_EQ(arrived.Header("Content-Type"), c.contentType);
        if (!c.body.empty()) {
            EXPECT_EQ(arrived.Header("Content-Length"), std::to_string(c.body.size()));
        }
        EXPECT_EQ(arrived.Header("Host"), "127.0.0.1:" + std::to_string(server.HttpPort()));
    }
}

// The caller runs a request on a thread of its own: one that waits for an answer holds neither
// its caller past the limit nor anyone else's request.
TEST_F(HttpTest, AnAnswerThatNeverComesEndsAtTheLimitWhileOtherRequestsGoOn) {
    const std::chrono::milliseconds limit = 3s;
    const std::string target = "/hang/webhook?token=secret";
    const std::size_t mark = server.Mark();
    std::atomic<bool> ended{false};
    HttpResult result;
    Clock::duration took{};
    std::thread caller([&] {
        const auto start = Clock::now();
        result = SendHttp(
            Request(server.Url("http", server.HttpPort(), target), kJson, kJsonType, limit));
        took = Clock::now() - start;
        ended = true;
    });
    const HttpResult meanwhile =
        SendHttp(Request(server.Url("http", server.HttpPort(), "/ping/meanwhile")));
    EXPECT_TRUE(meanwhile.delivered) << meanwhile.failure;
    EXPECT_FALSE(ended) << "a request waited for another thread's";
    caller.join();

    EXPECT_FALSE(result.delivered);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.failure.find(kTimedOut), std::string::npos) << result.failure;
    EXPECT_EQ(result.failure.find("secret"), std::string::npos) << result.failure;
    EXPECT_GE(took, limit / 2);
    EXPECT_LT(took, limit + 5s);
    // It went out whole; the answer is what never came.
    bool sent = false;
    for (const RecordedRequest& arrived : server.RequestsSince(mark))
        sent = sent || (arrived.target == target && arrived.body == kJson);
    EXPECT_TRUE(sent);
}

TEST_F(HttpTest, NoWholeAnswerInTimeSaysWhyWithinTheLimit) {
    struct Case {
        const char* what;
        std::string url;
        std::chrono::milliseconds limit;
        std::string failure;
    };
    const Case cases[] = {
        {"a TLS handshake that never completes",
         server.Url("https", server.SilentPort(), "/ping?token=secret"), 2s, kTimedOut},
        // Each read gets a byte in time: only a bound on the whole ends it.
        {"an answer that trickles in and never ends",
         server.Url("http", server.HttpPort(), "/drip/ping?token=secret"), 2s, kTimedOut},
        {"a refused connection", server.Url("http", server.RefusedPort(), "/ping?token=secret"),
         10s, kRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        const HttpResult result = SendHttp(Request(c.url, "", "", c.limit));
        const auto took = Clock::now() - start;
        EXPECT_FALSE(result.delivered);
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(result.failure.find(c.failure), std::string::npos) << result.failure;
        EXPECT_EQ(result.failure.find("secret"), std::string::npos) << result.failure;
        EXPECT_LT(took, c.limit + 5s);
    }
}

TEST_F(HttpTest, ACertificateTheSystemDoesNotTrustIsRefusedAndNothingIsSent) {
    const std::string target = "/webhook/untrusted?token=secret";
    const std::size_t mark = server.Mark();
    const HttpResult result = SendHttp(
        Request(server.Url("https", server.UntrustedHttpsPort(), target), kJson, kJsonType));
    EXPECT_FALSE(result.delivered);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.failure.find(kUntrusted), std::string::npos) << result.failure;
    EXPECT_EQ(result.failure.find("secret"), std::string::npos) << result.failure;

    // The client reached the server, and sent nothing over the connection it refused.
    const std::vector<RecordedConnection> connections = server.WaitForConnectionsSince(mark);
    ASSERT_FALSE(connections.empty()) << "the client never reached the HTTPS server";
    for (const RecordedConnection& connection : connections) {
        EXPECT_EQ(connection.port, server.UntrustedHttpsPort());
        EXPECT_EQ(connection.requests, 0) << connection.outcome;
    }
    EXPECT_TRUE(server.RequestsSince(mark).empty());
}

TEST_F(HttpTest, ACertificateOfATrustedAuthorityIsDelivered) {
    const std::string target = "/webhook/trusted?token=abc";
    const std::size_t mark = server.Mark();
    std::string whyNot;
    const std::optional<HttpResult> result = SendTrustingTestCa(
        Request(server.Url("https", server.HttpsPort(), target), kJson, kJsonType), server, whyNot);
    if (!result) GTEST_SKIP() << whyNot;
    EXPECT_TRUE(result->delivered) << result->failure;
    EXPECT_EQ(result->status, 200);
    const std::vector<RecordedRequest> requests = server.RequestsSince(mark);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].port, server.HttpsPort());
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, target);
    EXPECT_EQ(requests[0].body, kJson);
}

// What would be sent differently by each stack, or not as meant, is refused before anything is.
TEST_F(HttpTest, RequestsThatCannotGoOutAsGivenAreRefusedBeforeSending) {
    const std::string base = server.Url("http", server.HttpPort(), "");
    struct Case {
        const char* what;
        HttpRequest request;
        std::string failure;
    };
    const Case cases[] = {
        {"another scheme", Request("ftp" + base.substr(4) + "/x?token=secret"),
         "the URL does not begin with http:// or https://"},
        {"a blank", Request(base + "/ping?texto=Backup conclu%C3%ADdo&token=secret"),
         "the URL holds a blank, a control character or a non-ASCII character"},
        {"a line end", Request(base + "/ping?token=secret\r\nX-Injected: 1"),
         "the URL holds a blank, a control character or a non-ASCII character"},
        {"a byte outside ASCII", Request(base + Utf8(u8"/ping?texto=concluído&token=secret")),
         "the URL holds a blank, a control character or a non-ASCII character"},
        {"a user and password", Request("http://user:secret@" + base.substr(7) + "/ping"),
         "the URL holds a user name or password"},
        {"no host", Request("http:///ping?token=secret"), "the URL names no host"},
        {"a line end in the content type",
         Request(base + "/webhook?token=secret", kJson, "application/json\r\nX-Injected: 1"),
         "the content type holds a control character"},
        {"no time at all", Request(base + "/ping?token=secret", "", "", 0ms),
         "the time limit is not positive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t mark = server.Mark();
        const HttpResult result = SendHttp(c.request);
        EXPECT_FALSE(result.delivered);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.failure.rfind(c.failure, 0), 0u) << result.failure;
        EXPECT_EQ(result.failure.find("secret"), std::string::npos) << result.failure;
        EXPECT_TRUE(server.RequestsSince(mark).empty());
    }
}

}  // namespace
