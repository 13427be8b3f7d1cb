// Windows path texts resolved the way Wine resolves them: drive letters and UNC shares live in
// the dosdevices folder; any other text without a colon is a host path with "\" read as "/".
// Below a drive or a share, "." and ".." are resolved as Windows resolves them, by the text and
// never above the drive root or the share, so no path text reaches outside its drive.

#include "platform/posix/HostPath.h"

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {
namespace {

std::string& RootOverride() {
    static std::string root;
    return root;
}

constexpr std::string_view kSeparators = "\\/";

// Appends `text` with "\" read as "/".
void AppendSlashed(std::string& host, std::string_view text) {
    std::size_t at = host.size();
    host.append(text);
    while ((at = host.find('\\', at)) != std::string::npos) host[at++] = '/';
}

// Appends the folders and file of `rest` ("\" or "/" between them) to `host`, which ends with
// "/" at the root of a drive or share: "." names the folder at hand, ".." its parent but never
// anything above that root, and repeated separators count as one. A final separator is kept.
void AppendBelowRoot(std::string& host, std::string_view rest) {
    const std::size_t root = host.size();
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find_first_of(kSeparators, start);
        if (end == std::string_view::npos) end = rest.size();
        const std::string_view part = rest.substr(start, end - start);
        if (part == "..") {
            if (host.size() > root) host.resize(host.rfind('/', host.size() - 2) + 1);
        } else if (!part.empty() && part != ".") {
            host += part;
            host += '/';
        }
        start = end + 1;
    }
    const bool endsWithSeparator =
        !rest.empty() && kSeparators.find(rest.back()) != std::string_view::npos;
    if (host.size() > root && !endsWithSeparator) host.pop_back();
}

// A server or share name that would climb out of dosdevices/unc, or Windows' device namespace.
bool IsDotName(std::string_view name) { return name == "." || name == ".." || name == "?"; }

// Case-insensitive matches found so far, keyed by folder + "/" + the name as written. A walk
// resolves the same \\server\share for every entry; without this each resolution read the
// whole dosdevices/unc folder and the server's folder. A remembered match is used only while
// it still exists, so a renamed or removed folder is looked up afresh.
class MatchCache {
public:
    const std::string* Find(const std::string& key) const {
        for (const auto& [k, v] : entries_)
            if (k == key) return &v;
        return nullptr;
    }
    void Remember(std::string key, std::string match) {
        if (entries_.size() >= kCapacity) entries_.erase(entries_.begin());
        entries_.emplace_back(std::move(key), std::move(match));
    }
    void Forget(const std::string& key) {
        std::erase_if(entries_, [&](const auto& entry) { return entry.first == key; });
    }

private:
    static constexpr std::size_t kCapacity = 16;  // servers and shares in use are few
    std::vector<std::pair<std::string, std::string>> entries_;
};

// Appends "/" and the entry of the folder `host` whose name equals `name` without regard to
// case; `name` itself when none does (the later system call then fails as it should).
void AppendCaseInsensitive(std::string& host, std::string_view name) {
    thread_local MatchCache cache;
    const std::size_t folderLength = host.size();
    host += '/';
    host += name;
    if (const std::string* known = cache.Find(host)) {
        if (access(known->c_str(), F_OK) == 0) {
            host = *known;
            return;
        }
        cache.Forget(host);
    }
    if (access(host.c_str(), F_OK) == 0) return;
    std::string exact = host;
    host.resize(folderLength);
    DIR* dir = opendir(host.c_str());
    const dirent* entry = nullptr;
    while (dir && (entry = readdir(dir)))
        if (std::strlen(entry->d_name) == name.size() &&
            strncasecmp(entry->d_name, name.data(), name.size()) == 0)
            break;
    if (entry) {
        host += '/';
        host += entry->d_name;
        cache.Remember(std::move(exact), host);
    } else {
        host = std::move(exact);
    }
    if (dir) closedir(dir);
}

// Appends the dosdevices root; the root set through the API is not copied first.
void AppendRoot(std::string& host) {
    if (!RootOverride().empty())
        host += RootOverride();
    else
        host += DosDevicesRoot();
}

}  // namespace

void SetDosDevicesRoot(const std::string& hostFolder) { RootOverride() = hostFolder; }

std::string DosDevicesRoot() {
    if (!RootOverride().empty()) return RootOverride();
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return std::string(prefix) + "/dosdevices";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.wine/dosdevices";
}

std::optional<std::string> HostPath(const std::string& windowsPath) {
    constexpr auto npos = std::string_view::npos;
    const std::string_view path(windowsPath);
    std::string host;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share\rest, where Windows takes "/" for a separator as well
        const std::string_view unc = path.substr(2);
        const std::size_t serverEnd = unc.find_first_of(kSeparators);
        if (serverEnd == 0 || serverEnd == npos) return std::nullopt;
        const std::size_t shareEnd = unc.find_first_of(kSeparators, serverEnd + 1);
        const std::string_view server = unc.substr(0, serverEnd);
        const std::string_view share = unc.substr(serverEnd + 1, shareEnd - serverEnd - 1);
        const std::string_view rest = shareEnd == npos ? "" : unc.substr(shareEnd + 1);
        if (share.empty() || IsDotName(server) || IsDotName(share) || unc.find(':') != npos)
            return std::nullopt;
        host.reserve(RootOverride().size() + path.size() + 8);
        AppendRoot(host);
        host += "/unc";
        AppendCaseInsensitive(host, server);
        AppendCaseInsensitive(host, share);
        host += '/';
        AppendBelowRoot(host, rest);
        return host;
    }
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        // X:\rest, and the drive-relative X:rest read the same way
        const std::string_view rest = path.substr(2);
        if (rest.find(':') != npos) return std::nullopt;
        host.reserve(RootOverride().size() + path.size() + 8);
        AppendRoot(host);
        host += '/';
        host += static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
        host += ":/";
        AppendBelowRoot(host, rest);
        return host;
    }
    if (path.find(':') != npos) return std::nullopt;
    AppendSlashed(host, path);
    return host;
}

}  // namespace platform
