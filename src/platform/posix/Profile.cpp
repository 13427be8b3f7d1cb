// Private-profile (INI) access on POSIX, by the rules of GetPrivateProfileStringA and
// WritePrivateProfileStringA:
// - section and key names match without regard to case; the first matching section counts;
// - a value has the blanks around it dropped and one pair of enclosing double or single quotes
//   removed, and is cut to 2047 characters (the callers' 2048-character buffer);
// - a value comes out in UTF-8, the program's encoding here: a file written in the Windows ANSI
//   code page (Windows-1252) is decoded (platform::InternalText); the file itself is never
//   re-encoded;
// - a write edits the text in place: an existing key gets its line rewritten as key "=" value,
//   a missing key goes after the last line of its section, a missing section at the end, a
//   missing file is created; every other line keeps its bytes and its line ending;
// - lines added to an existing file take the line ending the file already uses; a new file
//   gets CR LF, as Windows writes it.
// A write replaces the file through a temporary file in the same folder that is flushed and
// renamed over it, so the file on disk is always either the old or the new one, complete.

#include "platform/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "platform/SystemError.h"
#include "platform/TextEncoding.h"
#include "platform/posix/HostPath.h"
#include "platform/posix/PosixInternal.h"

namespace platform {
namespace {

constexpr std::size_t kMaxValueLength = 2047;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kNewFileLineEnd = "\r\n";

bool IsBlank(char c) {
    // Control characters from tab to carriage return, Ctrl+Z (an MS-DOS end of file) and space.
    return (c >= '\t' && c <= '\r') || c == '\x1a' || c == ' ';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// One pair of enclosing quotes removed, then cut to what the buffer holds.
std::string Finished(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(FirstUtf8Characters(value, kMaxValueLength));
}

struct Line {
    std::string text;  // without its line ending
    std::string end;   // "\r\n", "\n", or empty for a last line without one
};

std::vector<Line> SplitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t newline = content.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back({content.substr(start), ""});
            break;
        }
        const bool crlf = newline > start && content[newline - 1] == '\r';
        const std::size_t textEnd = crlf ? newline - 1 : newline;
        lines.push_back({content.substr(start, textEnd - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
    std::string content;
    for (const Line& line : lines) content += line.text + line.end;
    return content;
}

enum class LineKind { Other, Section, Key };

struct LineMeaning {
    LineKind kind = LineKind::Other;
    std::string_view name;   // the section's or the key's name
    std::string_view value;  // a key's value, blanks around it dropped
};

LineMeaning Interpret(std::string_view text, bool firstLine) {
    if (firstLine && text.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        text.remove_prefix(kUtf8Mark.size());
    text = Trim(text);
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos)
            return {LineKind::Section, text.substr(1, close - 1), {}};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return {};
    return {LineKind::Key, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// Where a key stands in the file: the section's header line, the key's own line, and the line
// after which a new key of that section goes.
struct KeyPlace {
    std::optional<std::size_t> section;
    std::optional<std::size_t> key;
    std::size_t lastOfSection = 0;
};

KeyPlace Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    KeyPlace place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineMeaning meaning = Interpret(lines[i].text, i == 0);
        if (!place.section) {
            if (meaning.kind == LineKind::Section && SameName(meaning.name, section)) {
                place.section = i;
                place.lastOfSection = i;
            }
            continue;
        }
        if (meaning.kind == LineKind::Section) break;
        if (!Trim(lines[i].text).empty()) place.lastOfSection = i;
        if (!place.key && meaning.kind == LineKind::Key && SameName(meaning.name, key))
            place.key = i;
    }
    return place;
}

std::optional<std::string> ReadWholeFile(const std::string& hostPath) {
    const int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        posix::RememberErrno();
        return std::nullopt;
    }
    std::string content;
    char buffer[8192];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            posix::RememberErrno();
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return content;
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a file of a name nobody else has, `stem` followed by six random letters, with `mode`
// less the process's umask, which the system applies: nothing here sets the umask (setting it,
// even back at once, would give files that the process's other threads make meanwhile the
// wrong mode). `path` gets the file's name; -1 when no file could be made.
int CreateUniqueFile(const std::string& stem, mode_t mode, std::string& path) {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = stem;
        for (int i = 0; i < 6; ++i) path += kLetters[random() % kLetters.size()];
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The folder could not take a temporary file, but the file itself may be writable: rewrite it
// where it is, as Windows does.
bool RewriteInPlace(const std::string& path, const std::string& content) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        posix::RememberErrno();
        return false;
    }
    bool ok = WriteAll(fd, content) && fsync(fd) == 0;
    if (!ok) posix::RememberErrno();
    ok = close(fd) == 0 && ok;
    return ok;
}

// Gives `path` the new content, complete on disk, with the mode and owner the old file had.
bool ReplaceFile(std::string path, const std::string& content, const struct stat* old) {
    // A link stays a link: its target gets the new content.
    if (char resolved[PATH_MAX]; old && realpath(path.c_str(), resolved)) path = resolved;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A new file gets the mode a new file gets in the folder; an old one's mode and owner are given
    // back to it below (the umask may only narrow it meanwhile).
    std::string temporary;
    const int fd =
        CreateUniqueFile(folder + "." + name + ".", old ? old->st_mode & 0777 : 0666, temporary);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM) return RewriteInPlace(path, content);
        posix::RememberErrno();
        return false;
    }
    bool ok = WriteAll(fd, content);
    if (ok && old) {
        ok = fchmod(fd, old->st_mode & 07777) == 0;
        // Only root can hand the file back to another owner; for anyone else it is theirs.
        [[maybe_unused]] const int owned = fchown(fd, old->st_uid, old->st_gid);
    }
    ok = ok && fsync(fd) == 0;
    if (!ok) posix::RememberErrno();
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
        posix::RememberErrno();
        ok = false;
    }
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk too.
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

std::string_view FirstLineEnd(const std::vector<Line>& lines) {
    for (const Line& line : lines)
        if (!line.end.empty()) return line.end;
    return kNewFileLineEnd;
}

}  // namespace

std::string ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& defaultValue, const std::string& fileName) {
    std::string_view fallback = defaultValue;
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
    const auto host = HostPath(fileName);
    if (!host) return Finished(fallback);
    const auto content = ReadWholeFile(*host);
    if (!content) return Finished(fallback);
    const std::vector<Line> lines = SplitLines(*content);
    const KeyPlace place = Locate(lines, Trim(section), Trim(key));
    if (!place.key) return Finished(fallback);
    return Finished(InternalText(Interpret(lines[*place.key].text, *place.key == 0).value));
}

bool ProfileReadable(const std::string& fileName) {
    const auto host = HostPath(fileName);
    if (!host) {
        SetLastErrorCode(SystemError::kInvalidName);
        return false;
    }
    return ReadWholeFile(*host).has_value();
}

bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& fileName) {
    const auto host = HostPath(fileName);
    if (!host) {
        SetLastErrorCode(SystemError::kInvalidName);
        return false;
    }
    struct stat st {};
    const bool exists = stat(host->c_str(), &st) == 0;
    // Windows refuses to write into a read-only file, also for an administrator, so the check
    // cannot be left to the system here (root may write anything).
    if (exists && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) {
        SetLastErrorCode(SystemError::kAccessDenied);
        return false;
    }
    std::string content;
    if (exists) {
        auto old = ReadWholeFile(*host);
        if (!old) return false;
        content = std::move(*old);
    }

    std::vector<Line> lines = SplitLines(content);
    const std::string lineEnd(FirstLineEnd(lines));
    const std::string sectionName(Trim(section));
    const std::string keyName(Trim(key));
    const KeyPlace place = Locate(lines, sectionName, keyName);
    if (place.key) {
        // The key keeps the spelling the file gives it.
        Line& line = lines[*place.key];
        line.text = std::string(Interpret(line.text, *place.key == 0).name) + "=" + value;
        if (*place.key == 0 && content.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0)
            line.text.insert(0, kUtf8Mark);
    } else {
        std::vector<Line> added;
        std::size_t at = lines.size();
        if (place.section) {
            at = place.lastOfSection + 1;
        } else {
            added.push_back({"[" + sectionName + "]", lineEnd});
        }
        added.push_back({keyName + "=" + value, lineEnd});
        if (at > 0 && lines[at - 1].end.empty()) lines[at - 1].end = lineEnd;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    }
    return ReplaceFile(*host, JoinLines(lines), exists ? &st : nullptr);
}

}  // namespace platform
