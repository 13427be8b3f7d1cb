// One HTTP(S) request through WinHTTP, which every Windows the program runs on has, and which
// does TLS itself against the system's trusted roots (its default: the certificate's chain, name
// and dates are checked, and no option here loosens that).
//
// WinHTTP's time-outs bound each phase (name lookup, connect, send, each receive), not the whole:
// a server that answers a byte at a time, or a lookup followed by a slow connect, holds a
// synchronous request several limits long, and Wine's WinHTTP waits in a TLS handshake without
// any time-out at all. So the request runs on a worker thread, and the caller waits for it at
// most the limit: then it gives up and returns. The worker ends by itself when a phase's
// time-out fires or the server lets go, and cleans up after itself; the caller never touches
// its handles, so none is closed twice or used after it was closed.

#include "platform/Http.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win32/Win32Internal.h"

// After Win32Internal.h, which includes <windows.h>.
#include <winhttp.h>

namespace platform {
namespace {

// Windows's own texts of the WinHTTP codes a request meets, for where winhttp.dll has no
// message table (Wine's has none).
struct KnownError {
    DWORD code;
    const char* text;
};
constexpr KnownError kWinHttpTexts[] = {
    {ERROR_WINHTTP_TIMEOUT, "The operation timed out"},
    {ERROR_WINHTTP_INTERNAL_ERROR,
     "An internal error occurred in the Microsoft Windows HTTP Services"},
    {ERROR_WINHTTP_INVALID_URL, "The URL is invalid"},
    {ERROR_WINHTTP_UNRECOGNIZED_SCHEME, "The URL does not use a recognized protocol"},
    {ERROR_WINHTTP_NAME_NOT_RESOLVED, "The server name or address could not be resolved"},
    {ERROR_WINHTTP_OPERATION_CANCELLED, "The operation was canceled"},
    {ERROR_WINHTTP_CANNOT_CONNECT, "A connection with the server could not be established"},
    {ERROR_WINHTTP_CONNECTION_ERROR, "The connection with the server was terminated abnormally"},
    {ERROR_WINHTTP_INVALID_SERVER_RESPONSE,
     "The server returned an invalid or unrecognized response"},
    {ERROR_WINHTTP_SECURE_FAILURE, "A security error occurred"},
    {ERROR_WINHTTP_SECURE_CHANNEL_ERROR, "An error occurred in the secure channel support"},
    {ERROR_WINHTTP_SECURE_INVALID_CA, "The certificate authority is invalid or incorrect"},
    {ERROR_WINHTTP_SECURE_CERT_CN_INVALID,
     "The host name in the certificate is invalid or does not match"},
    {ERROR_WINHTTP_SECURE_CERT_DATE_INVALID,
     "The date in the certificate is invalid or has expired"},
};

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string Message(DWORD flags, const void* source, DWORD code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                       source, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length && text ? Trimmed(std::string(text, length)) : std::string();
    if (text) LocalFree(text);
    return result;
}

// A failure in the system's words and its number: "The operation timed out (WinHTTP 12002)";
// `detail` follows the words.
std::string ErrorText(DWORD code, const std::string& detail = std::string()) {
    std::string text;
    std::string number = " (" + std::to_string(code) + ")";
    if (code >= WINHTTP_ERROR_BASE && code <= WINHTTP_ERROR_LAST) {
        text = Message(FORMAT_MESSAGE_FROM_HMODULE, GetModuleHandleA("winhttp.dll"), code);
        for (const KnownError& known : kWinHttpTexts)
            if (text.empty() && known.code == code) text = known.text;
        if (text.empty()) text = "WinHTTP error";
        number = " (WinHTTP " + std::to_string(code) + ")";
    } else {
        text = Message(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
        if (text.empty()) text = "System error";
    }
    return text + (detail.empty() ? "" : ": " + detail) + number;
}

// What WINHTTP_CALLBACK_STATUS_SECURE_FAILURE says of a refused certificate.
std::string SecureFailureDetail(DWORD flags) {
    struct Flag {
        DWORD flag;
        const char* text;
    };
    constexpr Flag kFlags[] = {
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, "issued by an authority that is not trusted"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, "made out to another name"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID, "expired or not yet valid"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, "revoked"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED, "of unknown revocation status"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE, "not meant for a server"},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT, "invalid"},
    };
    std::string detail;
    for (const Flag& flag : kFlags)
        if (flags & flag.flag)
            detail += (detail.empty() ? "the certificate is " : ", ") + std::string(flag.text);
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR)
        detail += (detail.empty() ? "" : "; ") + std::string("the secure channel failed");
    return detail;
}

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information,
                       DWORD length) {
    if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && context && information &&
        length >= sizeof(DWORD))
        *reinterpret_cast<DWORD*>(context) |= *static_cast<const DWORD*>(information);
}

struct HandleCloser {
    void operator()(void* handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring Widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

HttpResult Failed(DWORD code, const std::string& detail = std::string()) {
    return HttpResult{false, 0, ErrorText(code, detail)};
}

// The request itself, synchronous, every phase bounded by the limit.
HttpResult Exchange(const HttpRequest& request) {
    if (request.body.size() > MAXDWORD) return Failed(ERROR_NOT_ENOUGH_MEMORY);
    const Handle session(WinHttpOpen(L"Duplora", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return Failed(GetLastError());
    const int limit = static_cast<int>(
        std::min<std::chrono::milliseconds::rep>(request.timeLimit.count(), INT_MAX));
    if (!WinHttpSetTimeouts(session.get(), limit, limit, limit, limit))
        return Failed(GetLastError());
    // TLS 1.2 (and 1.3 where the system has it): left to itself, the WinHTTP of Windows 7 speaks
    // TLS 1.0 only, which servers refuse today.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                          sizeof protocols)) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                         sizeof protocols);
    }

    // The fragment is the client's alone (libcurl drops it too).
    const std::wstring url = Widened(request.url.substr(0, request.url.find('#')));
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts))
        return Failed(GetLastError());
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring target = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                          std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target.empty() || target.front() != L'/') target.insert(target.begin(), L'/');

    const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return Failed(GetLastError());
    // The URL goes out as given: it is encoded already, and WinHTTP would otherwise encode some
    // characters again where libcurl sends them as they are.
    const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                        (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    const Handle call(WinHttpOpenRequest(connection.get(), request.body.empty() ? L"GET" : L"POST",
                                         target.c_str(), nullptr, WINHTTP_NO_REFERER,
                                         WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!call) return Failed(GetLastError());
    // No redirect is followed (WinHTTP follows them by default): a 3xx is the answer.
    DWORD redirects = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    if (!WinHttpSetOption(call.get(), WINHTTP_OPTION_REDIRECT_POLICY, &redirects,
                          sizeof redirects)) {
        DWORD feature = WINHTTP_DISABLE_REDIRECTS;
        if (!WinHttpSetOption(call.get(), WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof feature))
            return Failed(GetLastError());
    }
    DWORD secureFailure = 0;
    WinHttpSetStatusCallback(call.get(), &OnStatus, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);

    const std::wstring headers = request.body.empty() || request.contentType.empty()
                                     ? std::wstring()
                                     : L"Content-Type: " + Widened(request.contentType);
    const DWORD bodySize = static_cast<DWORD>(request.body.size());
    if (!WinHttpSendRequest(
            call.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
            headers.empty() ? 0 : static_cast<DWORD>(-1L),
            bodySize ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA, bodySize,
            bodySize, reinterpret_cast<DWORD_PTR>(&secureFailure)) ||
        !WinHttpReceiveResponse(call.get(), nullptr)) {
        const DWORD error = GetLastError();
        return Failed(error, error == ERROR_WINHTTP_SECURE_FAILURE
                                 ? SecureFailureDetail(secureFailure)
                                 : std::string());
    }

    // The status decides; the body is not read.
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(call.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return Failed(GetLastError());
    HttpResult result;
    result.status = static_cast<int>(status);
    result.delivered = status >= 200 && status <= 299;
    if (!result.delivered) {
        std::string reason;
        size = 0;
        WinHttpQueryHeaders(call.get(), WINHTTP_QUERY_STATUS_TEXT, WINHTTP_HEADER_NAME_BY_INDEX,
                            WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && size) {
            std::wstring text(size / sizeof(wchar_t), L'\0');
            if (WinHttpQueryHeaders(call.get(), WINHTTP_QUERY_STATUS_TEXT,
                                    WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                                    WINHTTP_NO_HEADER_INDEX)) {
                text.resize(size / sizeof(wchar_t));
                for (wchar_t c : text) reason += c < 0x80 ? static_cast<char>(c) : '?';
            }
        }
        result.failure = HttpStatusFailure(result.status, reason);
    }
    return result;
}

// What the caller and the worker share; the worker keeps it alive after the caller gave up.
struct Shared {
    explicit Shared(HttpRequest r) : request(std::move(r)) {}
    const HttpRequest request;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    HttpResult result;
};

}  // namespace

HttpResult SendHttp(const HttpRequest& request) {
    try {
        if (std::string problem = HttpRequestProblem(request); !problem.empty())
            return HttpResult{false, 0, problem};
        const auto shared = std::make_shared<Shared>(request);
        std::thread([shared] {
            HttpResult result;
            try {
                result = Exchange(shared->request);
            } catch (const std::exception& error) {
                result = HttpResult{false, 0, error.what()};
            } catch (...) {
                result = HttpResult{false, 0, "unknown failure"};
            }
            {
                const std::lock_guard<std::mutex> lock(shared->mutex);
                shared->result = std::move(result);
                shared->done = true;
            }
            shared->ended.notify_all();
        }).detach();
        std::unique_lock<std::mutex> lock(shared->mutex);
        if (shared->ended.wait_for(lock, request.timeLimit, [&] { return shared->done; }))
            return shared->result;
        return Failed(ERROR_WINHTTP_TIMEOUT);
    } catch (const std::exception& error) {
        return HttpResult{false, 0, error.what()};
    } catch (...) {
        return HttpResult{false, 0, "unknown failure"};
    }
}

}  // namespace platform
