#include "FolderMirror.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "DateTime.h"
#include "U_Funcoes.h"

namespace {

bool IsFolder(const std::string& path) {
    const std::uint32_t attributes = platform::GetAttributes(path);
    return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory);
}

// Creates `path` and every missing folder above it. Why a folder could not be made, in the
// system's words; nullopt when the folder is there.
std::optional<std::string> ForceDirectories(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path.empty() || path.back() == ':' || IsFolder(path)) return std::nullopt;
    const std::size_t parent = path.find_last_of("\\/");
    if (parent != std::string::npos)
        if (auto failed = ForceDirectories(path.substr(0, parent + 1))) return failed;
    if (platform::MakeDirectory(path)) return std::nullopt;
    const std::string reason = platform::LastErrorText();
    if (IsFolder(path)) return std::nullopt;  // made meanwhile by someone else
    return reason;
}

void AppendRounded(std::string& text, double value) {
    char digits[24];
    const long long rounded = static_cast<long long>(std::nearbyint(value));  // half to even
    text.append(digits, std::to_chars(digits, digits + sizeof digits, rounded).ptr);
}

// The two texts of the display, written into buffers that keep their capacity: they are
// rewritten for every entry of a walk.
void FormatProgressText(std::string& text, double copiedMB, double totalMB) {
    text.assign("Copiando: ");
    AppendRounded(text, copiedMB);
    text.append(" MB de ");
    AppendRounded(text, totalMB);
    text.append(" MB");
}

// Where the last `count` characters of `text` begin. In UTF-8 a character takes up to four
// bytes, the first of which is never a continuation byte (10xxxxxx); counting at most three of
// those per character keeps bytes that are not UTF-8 counted too. Elsewhere a byte is a character.
std::size_t StartOfLastCharacters(std::string_view text, std::size_t count) {
    std::size_t start = text.size();
    for (; count > 0 && start > 0; --count) {
        --start;
        if constexpr (platform::kTextIsUtf8) {
            for (int more = 0;
                 more < 3 && start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80;
                 ++more)
                --start;
        }
    }
    return start;
}

void FormatDestinationLine(std::string& line, const std::string& fullPath) {
    line.assign(StartOfLastCharacters(fullPath, 55) > 0 ? "..." : "");
    line.append(fullPath, StartOfLastCharacters(fullPath, 56));
}

// A Linux server may hold names that Windows reads as paths ("..\..\x", "C:x"): joined to the
// folder they would name another place than an entry of it.
bool IsPathLike(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

double DosTimeValue(const platform::FindData& entry) {
    if (entry.attributes & platform::kAttrDirectory) return kNoFileTime;
    const auto dos = platform::ToDosDateTime(entry.lastWriteTime);
    return dos ? DosDateTimeToValue(*dos) : kNoFileTime;
}

// Whether destinationFile needs the copy of the source entry `listed`. One look-up in the
// destination gives both the existence test and its time; a time without MS-DOS form still
// counts as existing. The server's time is read afresh (a file that vanished since it was
// listed reads lowest and is left alone), but only when the listed time would call for a copy:
// a destination as new as that already stays, and the nightly run asks the server nothing more.
bool NeedsCopy(const platform::FindData& listed, const std::string& sourceFile,
               const std::string& destinationFile) {
    const platform::DirectorySearch existing(destinationFile);
    if (!existing.Found() || (existing.Entry().attributes & platform::kAttrDirectory)) return true;
    const double destinationTime = DosTimeValue(existing.Entry());
    if (destinationTime >= DosTimeValue(listed)) return false;
    return destinationTime < FileModifiedTime(sourceFile);
}

// Copies file `name` of folder `source` into folder `destination` by the route the destination
// calls for. Why it was not copied, in the system's words, or nullopt when it was.
std::optional<std::string> CopyEntry(const std::string& source, const std::string& destination,
                                     const std::string& name) {
    if (destination.find(kDatabaseFolderMarker) == std::string::npos) {
        if (CopyFileKeepingDate(source + name, destination + name)) return std::nullopt;
        return platform::LastErrorText();
    }
    const std::string newCopy = destination + kNewCopyPrefix + name;
    if (!platform::CopyWholeFile(source + name, newCopy, /*failIfExists=*/true)) {
        const std::string reason = platform::LastErrorText();
        // A copy that an earlier run left under the new name is what the rename then takes.
        if (platform::GetAttributes(newCopy) == platform::kInvalidAttributes) return reason;
    }
    // Fails, as it should, when the file is there: its newer copy then waits beside it.
    platform::RenameFile(newCopy, destination + name);
    return std::nullopt;
}

// What became of one listed entry.
struct EntryOutcome {
    bool copied = false;
    std::optional<std::string>
        notCopied;  // why it needed a copy and has none, in the system's words
};

// Brings one listed entry of folder `source` up to date in folder `destination`; sourceFile and
// destinationFile are its two paths. Nothing is done for an entry that is up to date or a
// folder (the walk enters those itself). Names that are paths and names of temporary copies
// (left by a copy that was cut off) are never copied.
EntryOutcome UpdateEntry(const platform::FindData& entry, const std::string& source,
                         const std::string& destination, const std::string& sourceFile,
                         const std::string& destinationFile) {
    const bool isFolder = entry.attributes & platform::kAttrDirectory;
    if (IsPathLike(entry.name) || (!isFolder && IsTemporaryCopyName(entry.name)))
        return {false, platform::ErrorText(platform::SystemError::kInvalidName)};
    if (isFolder || !NeedsCopy(entry, sourceFile, destinationFile)) return {};
    std::optional<std::string> notCopied = CopyEntry(source, destination, entry.name);
    return {!notCopied, std::move(notCopied)};
}

}  // namespace

void AppendBackslash(std::string& path) {
    if (path.empty() || path.back() != '\\') path += '\\';
}

bool IsDotOrDotDot(const std::string& name) { return name == "." || name == ".."; }

// Files of 2 GiB or more count their whole size, here and in the size total alike.
double EntrySizeMB(const platform::FindData& entry) {
    return static_cast<double>(entry.size) / 1024 / 1024;
}

std::string ProgressText(double copiedMB, double totalMB) {
    std::string text;
    FormatProgressText(text, copiedMB, totalMB);
    return text;
}

std::string DestinationLine(const std::string& fullPath) {
    std::string line;
    FormatDestinationLine(line, fullPath);
    return line;
}

double FileModifiedTime(const std::string& fileName) {
    const platform::DirectorySearch search(fileName);
    return search.Found() ? DosTimeValue(search.Entry()) : kNoFileTime;
}

void ListSubfolders(const std::string& path, std::vector<std::string>& list) {
    constexpr std::uint32_t kLeftOut = platform::kAttrHidden | platform::kAttrSystem |
                                       platform::kAttrVolumeLabel | platform::kAttrReparsePoint;
    for (platform::DirectorySearch search(path + "*.*"); search.Found(); search.Next()) {
        const platform::FindData& entry = search.Entry();
        if (!(entry.attributes & kLeftOut) && (entry.attributes & platform::kAttrDirectory) &&
            !IsPathLike(entry.name))
            list.push_back(entry.name);
    }
}

void FolderMirror::ShowProgress(const std::string& destinationFile) {
    FormatProgressText(progressText_, CopiedMB, TotalMB);
    view_.SetProgressText(progressText_);
    view_.SetProgressBar(kProgressNavy, TotalMB, CopiedMB);
    FormatDestinationLine(destinationLine_, destinationFile);
    view_.SetDestinationText(destinationLine_);
}

bool FolderMirror::MirrorFolder(std::string source, std::string destination, bool recursive) {
    AppendBackslash(source);
    AppendBackslash(destination);
    if (!IsFolder(destination))
        if (const auto notMade = ForceDirectories(destination)) Failure(destination, *notMade);
    try {
        // The two paths of the entry at hand, rebuilt in place rather than anew for every use.
        std::string sourceFile = source;
        std::string destinationFile = destination;
        bool listed = false;
        for (platform::DirectorySearch search(source + "*.*"); search.Found(); search.Next()) {
            listed = true;
            const platform::FindData& entry = search.Entry();
            if (!IsDotOrDotDot(entry.name)) {
                CopiedMB += EntrySizeMB(entry);
                sourceFile.resize(source.size());
                sourceFile += entry.name;
                destinationFile.resize(destination.size());
                destinationFile += entry.name;
                ShowProgress(destinationFile);
                // The walk goes on after an entry it could not copy; the report has it.
                const EntryOutcome outcome =
                    UpdateEntry(entry, source, destination, sourceFile, destinationFile);
                if (Report && !(entry.attributes & platform::kAttrDirectory))
                    Report->FileExamined();
                if (Report && outcome.copied) Report->FileCopied(entry.size);
                if (outcome.notCopied) Failure(sourceFile, *outcome.notCopied);
            }
            view_.ProcessMessages();
        }
        // Even an empty folder lists "." and "..": nothing listed means the folder was not
        // there (a renamed share, a typing error, a name in another encoding) or not readable.
        if (!listed) {
            const std::string reason = platform::LastErrorText();
            Failure(source, IsFolder(source) ? reason : kSourceFolderMissing);
        }
        if (recursive) {
            std::vector<std::string> subfolders;
            ListSubfolders(source, subfolders);
            for (const std::string& name : subfolders)
                if (!IsDotOrDotDot(name))
                    MirrorFolder(source + name + '\\', destination + name + '\\', recursive);
        }
        return true;
    } catch (...) {
        return false;
    }
}
