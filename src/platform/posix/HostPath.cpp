// Windows path texts resolved the way Wine resolves them: drive letters and UNC shares live in
// the dosdevices folder; any other text without a colon is a host path with "\" read as "/".

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace platform {
namespace {

std::string& RootOverride() {
    static std::string root;
    return root;
}

std::string Slashed(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

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
    void Remember(const std::string& key, const std::string& match) {
        if (entries_.size() >= kCapacity) entries_.erase(entries_.begin());
        entries_.emplace_back(key, match);
    }
    void Forget(const std::string& key) {
        std::erase_if(entries_, [&](const auto& entry) { return entry.first == key; });
    }

private:
    static constexpr std::size_t kCapacity = 16;  // servers and shares in use are few
    std::vector<std::pair<std::string, std::string>> entries_;
};

// The entry of `folder` whose name equals `name` without regard to case; `name` itself when
// none does (the later system call then fails as it should).
std::string MatchCaseInsensitive(const std::string& folder, const std::string& name) {
    thread_local MatchCache cache;
    std::string exact = folder + "/" + name;
    if (const std::string* known = cache.Find(exact)) {
        if (access(known->c_str(), F_OK) == 0) return *known;
        cache.Forget(exact);
    }
    if (access(exact.c_str(), F_OK) == 0) return exact;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (strcasecmp(entry->d_name, name.c_str()) == 0) {
                std::string found = folder + "/" + entry->d_name;
                closedir(dir);
                cache.Remember(exact, found);
                return found;
            }
        }
        closedir(dir);
    }
    return exact;
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
    if (windowsPath.size() >= 2 && windowsPath[0] == '\\' && windowsPath[1] == '\\') {
        // \\server\share\rest
        const std::string unc = windowsPath.substr(2);
        const std::size_t serverEnd = unc.find('\\');
        if (serverEnd == 0 || serverEnd == std::string::npos) return std::nullopt;
        const std::size_t shareEnd = unc.find('\\', serverEnd + 1);
        const std::string server = unc.substr(0, serverEnd);
        const std::string share = unc.substr(serverEnd + 1, shareEnd - serverEnd - 1);
        const std::string rest = shareEnd == std::string::npos ? "" : unc.substr(shareEnd + 1);
        if (share.empty() || unc.find(':') != std::string::npos) return std::nullopt;
        const std::string serverFolder = MatchCaseInsensitive(DosDevicesRoot() + "/unc", server);
        return MatchCaseInsensitive(serverFolder, share) + "/" + Slashed(rest);
    }
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' &&
        std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
        // X:\rest, and the drive-relative X:rest read the same way
        std::string rest = windowsPath.substr(2);
        if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
        if (rest.find(':') != std::string::npos) return std::nullopt;
        const char drive =
            static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
        return DosDevicesRoot() + "/" + drive + ":/" + Slashed(rest);
    }
    if (windowsPath.find(':') != std::string::npos) return std::nullopt;
    return Slashed(windowsPath);
}

}  // namespace platform
