// What both HTTP backends share: the requests refused before anything is sent, and the text of
// an answer that is not 2xx. No failure text repeats the URL, which may hold a token.

#include "platform/Http.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

bool PrintableAscii(char c, bool blankAllowed) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte > 0x20 || (blankAllowed && byte == 0x20)) && byte < 0x7F;
}

}  // namespace

std::string HttpRequestProblem(const HttpRequest& request) {
    const std::string& url = request.url;
    std::size_t schemeLength = 0;
    if (StartsWithNoCase(url, "http://"))
        schemeLength = 7;
    else if (StartsWithNoCase(url, "https://"))
        schemeLength = 8;
    else
        return "the URL does not begin with http:// or https://";
    // A blank, a line end or a byte that is no ASCII character would be sent differently by each
    // stack, or end the request line early: the URL must be encoded (%XX) already.
    if (!std::all_of(url.begin(), url.end(), [](char c) { return PrintableAscii(c, false); }))
        return "the URL holds a blank, a control character or a non-ASCII character (encode "
               "it as %XX)";
    const std::size_t authorityEnd = url.find_first_of("/?#", schemeLength);
    const std::string authority =
        url.substr(schemeLength, authorityEnd == std::string::npos ? std::string::npos
                                                                   : authorityEnd - schemeLength);
    if (authority.find('@') != std::string::npos)
        return "the URL holds a user name or password (user:password@host), which is not "
               "supported";
    if (authority.empty() || authority.front() == ':') return "the URL names no host";
    // A line end in the content type would add header lines of its own to the request.
    if (!std::all_of(request.contentType.begin(), request.contentType.end(),
                     [](char c) { return PrintableAscii(c, true); }))
        return "the content type holds a control character or a non-ASCII character";
    if (request.timeLimit.count() <= 0) return "the time limit is not positive";
    return std::string();
}

std::string HttpStatusFailure(int status, const std::string& reason) {
    std::string text = "HTTP " + std::to_string(status);
    if (!reason.empty()) text += " " + reason;
    return text;
}

}  // namespace platform
