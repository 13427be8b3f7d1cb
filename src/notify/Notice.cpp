#include "notify/Notice.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "platform/TextEncoding.h"

namespace {

std::string Situation(const RunResult& result) {
    if (!result.Completed()) return "interrompido";
    return result.failures ? "finalizado com falhas" : "finalizado";
}

// The bytes a URL takes as they are (RFC 3986's unreserved characters).
bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string PercentEncoded(std::string_view text, bool keepAscii) {
    std::string encoded;
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (Unreserved(c) || (keepAscii && c > 0x20 && c < 0x7F)) {
            encoded += byte;
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

std::string JsonStringContent(std::string_view text) {
    std::string escaped;
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (byte == '"' || byte == '\\') {
            escaped += '\\';
            escaped += byte;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            escaped += escape;
        } else {
            escaped += byte;
        }
    }
    return escaped;
}

// `pattern` (the program's text) in UTF-8, each placeholder replaced by its value made fit by
// `fit` and the rest by `rest`.
template <class Fit, class Rest>
std::string Filled(const std::string& pattern,
                   const std::array<std::pair<std::string_view, std::string>, 4>& values, Fit&& fit,
                   Rest&& rest) {
    const std::string utf8 = platform::Utf8Text(pattern);
    std::string filled;
    std::size_t at = 0;
    while (at < utf8.size()) {
        bool replaced = false;
        for (const auto& [name, value] : values) {
            if (utf8.compare(at, name.size(), name) != 0) continue;
            filled += fit(value);
            at += name.size();
            replaced = true;
            break;
        }
        if (replaced) continue;
        const std::size_t next = utf8.find('{', at + 1);
        filled += rest(std::string_view(utf8).substr(
            at, (next == std::string::npos ? utf8.size() : next) - at));
        at = next == std::string::npos ? utf8.size() : next;
    }
    return filled;
}

}  // namespace

std::optional<platform::HttpRequest> NoticeRequest(const NoticeSettings& settings,
                                                   const RunResult& result,
                                                   const std::string& machine) {
    const std::string& url = result.Succeeded() ? settings.successUrl : settings.failureUrl;
    if (url.empty()) return std::nullopt;
    const std::array<std::pair<std::string_view, std::string>, 4> values = {{
        {"{texto}", platform::Utf8Text(RunLine(result))},
        {"{maquina}", platform::Utf8Text(machine)},
        {"{situacao}", Situation(result)},
        {"{falhas}", std::to_string(result.failures)},
    }};
    platform::HttpRequest request;
    request.url = Filled(
        url, values, [](std::string_view value) { return PercentEncoded(value, false); },
        [](std::string_view text) { return PercentEncoded(text, true); });
    if (!settings.body.empty()) {
        request.body = Filled(
            settings.body, values, [](std::string_view value) { return JsonStringContent(value); },
            [](std::string_view text) { return std::string(text); });
        request.contentType = "application/json; charset=utf-8";
    }
    return request;
}

std::string UrlForTheLog(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos) return "(URL sem esquema)";
    const std::size_t authority = scheme + 3;
    const std::size_t end = url.find_first_of("/?#", authority);
    std::string host =
        url.substr(authority, end == std::string::npos ? std::string::npos : end - authority);
    if (const std::size_t at = host.rfind('@'); at != std::string::npos) host.erase(0, at + 1);
    return url.substr(0, authority) + host;
}
