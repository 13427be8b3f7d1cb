// One HTTP(S) request through libcurl: one easy handle per request on the calling thread, the
// library set up once per process. libcurl's own defaults where they are the safe ones: it
// verifies the peer's certificate and name against the system's trusted roots (the CA bundle
// and folder it was built with: Debian's /etc/ssl/certs), follows no redirect, and takes a proxy
// from the environment (http_proxy, https_proxy, no_proxy), as every libcurl program does.

#include "platform/Http.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>

namespace platform {
namespace {

// curl_global_init is not thread-safe in every libcurl: a function-local static runs it once,
// whichever thread comes first, and the others wait for it. Never cleaned up: the library stays
// for the process's life.
CURLcode GlobalInit() {
    static const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
    return code;
}

// The answer as far as it is read: the last status line, and whether the final (not 1xx)
// answer's header has ended.
struct Answer {
    int status = 0;
    std::string reason;
    bool headerEnded = false;
};

// Reads the status line ("HTTP/1.1 404 Not Found", "HTTP/2 200") and stops the transfer at the
// end of the final answer's header: the status decides, and a body that is slow or endless
// cannot hold the caller.
std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* context) {
    auto& answer = *static_cast<Answer*>(context);
    const std::size_t length = size * count;
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
        const std::size_t codeStart = line.find(' ');
        answer.status = 0;
        answer.reason.clear();
        if (codeStart != std::string::npos) {
            std::size_t at = codeStart + 1;
            while (at < line.size() && line[at] >= '0' && line[at] <= '9')
                answer.status = answer.status * 10 + (line[at++] - '0');
            while (at < line.size() && line[at] == ' ') ++at;
            answer.reason = line.substr(at);
            while (!answer.reason.empty() && answer.reason.back() == ' ') answer.reason.pop_back();
        }
    } else if (line.empty() && answer.status >= 200) {
        answer.headerEnded = true;
        return 0;  // anything but `length` ends the transfer (CURLE_WRITE_ERROR)
    }
    return length;
}

std::size_t OnBody(char*, std::size_t size, std::size_t count, void*) { return size * count; }

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

HttpResult Send(const HttpRequest& request) {
    HttpResult result;
    if (const CURLcode init = GlobalInit(); init != CURLE_OK) {
        result.failure = std::string("curl_global_init: ") + curl_easy_strerror(init);
        return result;
    }
    EasyHandle handle(curl_easy_init(), &curl_easy_cleanup);
    if (!handle) {
        result.failure = "curl_easy_init failed";
        return result;
    }
    CURL* const curl = handle.get();

    HeaderList headers(nullptr, &curl_slist_free_all);
    auto addHeader = [&headers](const std::string& line) {
        curl_slist* const list = curl_slist_append(headers.get(), line.c_str());
        if (!list) return false;
        headers.release();
        headers.reset(list);
        return true;
    };
    // No "Expect: 100-continue": a server that does not know it would hold a large body a second.
    // An empty content type sends none (libcurl would send a form's otherwise).
    if (!addHeader("Expect:") ||
        (!request.body.empty() && !addHeader("Content-Type: " + request.contentType))) {
        result.failure = "curl_slist_append failed";
        return result;
    }

    Answer answer;
    char errorText[CURL_ERROR_SIZE] = {};
    const long timeLimit = static_cast<long>(
        std::min<std::chrono::milliseconds::rep>(request.timeLimit.count(), LONG_MAX));
    CURLcode code = CURLE_OK;
    auto set = [&](CURLoption option, auto value) {
        if (code == CURLE_OK) code = curl_easy_setopt(curl, option, value);
    };
    set(CURLOPT_ERRORBUFFER, errorText);
    set(CURLOPT_URL, request.url.c_str());
#if LIBCURL_VERSION_NUM >= 0x075500  // 7.85
    set(CURLOPT_PROTOCOLS_STR, "http,https");
#else
    set(CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    set(CURLOPT_FOLLOWLOCATION, 0L);
    set(CURLOPT_NOSIGNAL, 1L);  // no SIGALRM for the name lookup's time-out: other threads run
    set(CURLOPT_TIMEOUT_MS, timeLimit);
    set(CURLOPT_USERAGENT, "Duplora");
    set(CURLOPT_HTTPHEADER, headers.get());
    set(CURLOPT_HEADERFUNCTION, &OnHeaderLine);
    set(CURLOPT_HEADERDATA, &answer);
    set(CURLOPT_WRITEFUNCTION, &OnBody);
    if (!request.body.empty()) {
        set(CURLOPT_POST, 1L);
        set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        set(CURLOPT_POSTFIELDS, request.body.data());
    }
    if (code != CURLE_OK) {
        result.failure = curl_easy_strerror(code);
        return result;
    }

    code = curl_easy_perform(curl);
    if (answer.headerEnded || code == CURLE_OK) {
        result.status = answer.status;
        if (!answer.headerEnded) {
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            result.status = static_cast<int>(status);
        }
        result.delivered = result.status >= 200 && result.status <= 299;
        if (!result.delivered) result.failure = HttpStatusFailure(result.status, answer.reason);
        return result;
    }
    result.failure = errorText[0] ? std::string(errorText) : curl_easy_strerror(code);
    return result;
}

}  // namespace

HttpResult SendHttp(const HttpRequest& request) {
    try {
        if (std::string problem = HttpRequestProblem(request); !problem.empty())
            return HttpResult{false, 0, problem};
        return Send(request);
    } catch (const std::exception& error) {
        return HttpResult{false, 0, error.what()};
    } catch (...) {
        return HttpResult{false, 0, "unknown failure"};
    }
}

}  // namespace platform
