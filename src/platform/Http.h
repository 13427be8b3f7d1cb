#pragma once
// One HTTP(S) request through the system's own HTTP stack: libcurl on Linux, WinHTTP on Windows.
// Neither backend writes any HTTP or TLS itself. HTTPS always verifies the server's certificate
// and name against the system's trusted roots; nothing switches that off. Redirects are not
// followed, and the answer's body is not read: the status line decides.

#include <chrono>
#include <string>

namespace platform {

// One HTTP(S) request: GET when `body` is empty, else POST of `body` with `contentType`.
struct HttpRequest {
    std::string url;  // http:// or https://, already percent-encoded where needed (ASCII)
    std::string body;
    std::string contentType;                     // e.g. "application/json; charset=utf-8"
    std::chrono::milliseconds timeLimit{15000};  // for everything: name lookup, connect, TLS,
                                                 // send, answer
};

// What became of it: `delivered` when the server answered with a 2xx status; otherwise
// `failure` says why in the HTTP stack's or the system's words (no answer within the limit,
// refused certificate, status 404, ...). `status` is the HTTP status when there was an answer
// (0 otherwise).
struct HttpResult {
    bool delivered = false;
    int status = 0;
    std::string failure;
};

// Sends `request` and waits for the answer, at most `timeLimit` in all. Blocks the calling
// thread (the caller runs it on a thread of its own and keeps its window answering). Never
// throws. Safe to call from any thread, from several at once.
//
// A request is refused before anything is sent when its URL is not http:// or https:// with a
// host, holds a byte outside printable ASCII (a blank, a control character, a non-ASCII byte) or
// a user name or password (user:password@host), when its content type holds a control
// character, or when its time limit is not positive.
HttpResult SendHttp(const HttpRequest& request);

// Why `request` would be refused before anything is sent (see SendHttp); empty when it would
// not. Both backends ask it first.
std::string HttpRequestProblem(const HttpRequest& request);

// The failure text of an answer that is not 2xx: "HTTP <status> <reason phrase>" (the reason as
// the server sent it; none over HTTP/2).
std::string HttpStatusFailure(int status, const std::string& reason);

}  // namespace platform
