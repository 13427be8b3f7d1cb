#include "engine/FolderMirror.h"

#include <optional>

#include "engine/DateTime.h"
#include "engine/FolderSize.h"
#include "engine/FolderWalk.h"
#include "funcoes/U_Funcoes.h"
#include "platform/SystemError.h"

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

// An entry's time in the MS-DOS form; none for a folder or a time that has no such form, which
// compares below every time (std::optional orders an empty value first), as kNoFileTime does.
std::optional<platform::DosDateTime> DosTime(const platform::FindData& entry) {
    if (entry.attributes & platform::kAttrDirectory) return std::nullopt;
    return platform::ToDosDateTime(entry.lastWriteTime);
}

// Whether a copy whose time and size are `copyTime` and `copySize` is behind the server's file
// `server`: older at the two seconds of the MS-DOS form, or as old but of another size, since a
// file written again within the two seconds of its copy keeps the copy's MS-DOS time. A copy
// newer than the server's file is the standby machine's own and stays.
bool IsBehind(const std::optional<platform::DosDateTime>& copyTime, std::uint64_t copySize,
              const platform::FindData& server) {
    const auto serverTime = DosTime(server);
    return copyTime < serverTime || (copyTime == serverTime && copySize != server.size);
}

// Whether the destination needs a copy of the listed file. One look-up in the destination
// gives both the existence test and its time; a time without MS-DOS form still counts as
// existing. A destination that is not behind the listed file stays, and the nightly run asks the
// server nothing more. Otherwise, when the source folder is open (its listing was not kept), the
// server's file is looked up afresh: one that vanished since it was listed is left alone.
// `found` takes the look-ups.
bool NeedsCopy(const platform::FindData& listed, const platform::Folder* sourceFolder,
               const platform::Folder& destinationFolder, platform::FindData& found) {
    if (!destinationFolder.Find(listed.name, found) ||
        (found.attributes & platform::kAttrDirectory))
        return true;
    const auto copyTime = DosTime(found);
    const std::uint64_t copySize = found.size;
    if (!IsBehind(copyTime, copySize, listed)) return false;
    if (!sourceFolder) return true;
    return sourceFolder->Find(listed.name, found) && IsBehind(copyTime, copySize, found);
}

// What became of one listed entry.
struct EntryOutcome {
    bool copied = false;   // a copy of it is in place
    bool waiting = false;  // its new copy waits beside the live file of a database folder
    bool gone = false;     // it was gone from the server by the time of its copy
    std::optional<std::string> failure;  // why it has no copy, or what its copy lacks
};

// Copies the file `name` of the open folder `source` into the open folder `destination` (whose
// path is `destinationPath`) by the route the destination calls for. In a database folder the
// whole copy takes the new-copy name, which only ever holds a whole copy, and then the live name
// unless a live file is there. `found` takes the look-ups.
EntryOutcome CopyEntry(const platform::Folder& source, const platform::Folder& destination,
                       const std::string& destinationPath, const std::string& name,
                       platform::FindData& found) {
    if (destinationPath.find(kDatabaseFolderMarker) == std::string::npos) {
        CopyResult copy =
            CopyFileInto(source, name, destination, name, platform::CopyRoute::kReplacing);
        return {copy.copied, false, copy.sourceGone, std::move(copy.failure)};
    }
    const std::string newCopy = kNewCopyPrefix + name;
    CopyResult copy =
        CopyFileInto(source, name, destination, newCopy, platform::CopyRoute::kAsNewFile);
    // A copy that an earlier run left under the new name is what the rename then takes.
    if (!copy.copied && !destination.Find(newCopy, found))
        return {false, false, copy.sourceGone, std::move(copy.failure)};
    // What a new copy lacks (its attributes) is said whatever becomes of it.
    std::optional<std::string> lacks = copy.copied ? std::move(copy.failure) : std::nullopt;
    // Refused, as it should be, when the live file is there: the new copy then waits beside it.
    platform::Outcome renamed = destination.Rename(newCopy, name);
    if (renamed) return {true, false, false, lacks};
    if (destination.Find(name, found)) return {false, true, false, lacks};
    return {false, false, false, std::move(renamed.reason)};
}

// Brings the listed entry `name` up to date in the destination folder; `file` describes it, or is
// nullptr for a folder. Nothing is done for an entry that is up to date or a folder (the walk
// enters those itself). Names that are paths and names of temporary copies (left by a copy that
// was cut off) are never copied. `copySource` gives the source folder held open for the copy.
template <typename CopySource>
EntryOutcome UpdateEntry(const std::string& name, const platform::FindData* file,
                         const MirroredFolders& folders, platform::FindData& found,
                         CopySource&& copySource) {
    if (IsPathLike(name) || (file && IsTemporaryCopyName(name)))
        return {false, false, false, platform::ErrorText(platform::SystemError::kInvalidName)};
    if (!file || !NeedsCopy(*file, folders.sourceFolder, folders.destinationFolder, found))
        return {};
    return CopyEntry(copySource(), folders.destinationFolder, folders.destination, name, found);
}

}  // namespace

double FileModifiedTime(const std::string& fileName) {
    const platform::DirectorySearch search(fileName);
    const auto dos = search.Found() ? DosTime(*search.Entry()) : std::nullopt;
    return dos ? DosDateTimeToValue(*dos) : kNoFileTime;
}

// The destination folder held open: `opened` when it is there, else created first, with every
// missing folder above it.
platform::Folder FolderMirror::DestinationFolder(platform::Folder opened,
                                                 const std::string& destination) {
    if (opened.IsOpen()) return opened;
    if (const auto notMade = ForceDirectories(destination)) {
        Failure(destination, *notMade);
        return opened;
    }
    return platform::Folder(destination);
}

// The source folder `path`, held open unless its kept listing stands for it: relative to its
// parent, when that is open. Opened last of a folder's two sides, so that when it cannot be
// listed, LastErrorText() still tells why.
std::optional<platform::Folder> FolderMirror::OpenUnlessKept(const platform::Folder* parent,
                                                             const std::string& name,
                                                             const std::string& path) const {
    if (listed_ && listed_->Kept(path)) return std::nullopt;
    return parent ? platform::Folder(*parent, name) : platform::Folder(path);
}

WalkResult FolderMirror::MirrorFolder(std::string source, std::string destination, bool recursive,
                                      const TreeListing* listed) {
    AppendBackslash(source);
    AppendBackslash(destination);
    listed_ = listed;
    const platform::Folder destinationFolder =
        DestinationFolder(platform::Folder(destination), destination);
    const auto sourceFolder = OpenUnlessKept(nullptr, source, source);
    const WalkResult walked = MirrorFolder(
        {sourceFolder ? &*sourceFolder : nullptr, destinationFolder, source, destination},
        recursive);
    listed_ = nullptr;
    copySource_.reset();
    copySourcePath_.clear();
    return walked;
}

WalkResult FolderMirror::MeasureAndMirror(const std::string& source, const std::string& destination,
                                          bool recursive) {
    TreeListing listed;
    TotalMB = FolderSizeMB(source, recursive, view_, Report, &listed);
    CopiedMB = 0;
    return MirrorFolder(source, destination, recursive, &listed);
}

// The source folder that the copies of a folder's files read from: the one the walk holds open,
// or, where its kept listing stood for it, the folder opened by its path at its first copy (once
// per folder, not per file; a folder with nothing to copy is not opened).
const platform::Folder& FolderMirror::CopySource(const MirroredFolders& folders) {
    if (folders.sourceFolder) return *folders.sourceFolder;
    if (!copySource_ || copySourcePath_ != folders.source) {
        copySource_.emplace(folders.source);
        copySourcePath_ = folders.source;
    }
    return *copySource_;
}

// A folder that could not be listed, or whose listing broke off, is a failure of its own.
void FolderMirror::ReportListing(const ListingEnd& end, const std::string& source) {
    // Even an empty folder lists "." and "..": nothing listed means the folder was not there (a
    // renamed share, a typing error, a name in another encoding) or not readable.
    if (end.how == ListingEnd::kNotListed)
        Failure(source, IsFolder(source) ? end.reason : kSourceFolderMissing);
    else if (end.how == ListingEnd::kInterrupted)
        Failure(source, end.reason);  // the entries after it were lost
}

// The folder's entries first, from its kept listing or its one listing on the server, then its
// subfolders.
WalkResult FolderMirror::MirrorFolder(const MirroredFolders& folders, bool recursive) {
    try {
        std::vector<std::string> subfolders;
        const auto onEntry = [&](const ListedEntry& entry) {
            MirrorEntry(entry, folders);
            if (recursive && IsWalkedSubfolder(entry)) subfolders.push_back(entry.name);
            view_.ProcessMessages();
        };
        if (folders.sourceFolder)
            ReportListing(ListFolder(*folders.sourceFolder, onEntry), folders.source);
        else
            listed_->Replay(folders.source, onEntry);
        for (const std::string& name : subfolders) {
            const std::string source = folders.source + name + '\\';
            const std::string destination = folders.destination + name + '\\';
            const platform::Folder destinationFolder =
                DestinationFolder(platform::Folder(folders.destinationFolder, name), destination);
            const auto sourceFolder = OpenUnlessKept(folders.sourceFolder, name, source);
            // A subfolder whose walk broke off is a failure like a file's; its parent goes on.
            if (const WalkResult walked = MirrorFolder({sourceFolder ? &*sourceFolder : nullptr,
                                                        destinationFolder, source, destination},
                                                       recursive);
                !walked)
                Failure(walked.failure->folder, walked.failure->reason);
        }
        return {};
    } catch (...) {
        return {WalkFailure{folders.source, CurrentErrorText()}};
    }
}

// Counts and shows the listed entry and brings it up to date. The walk goes on after an entry it
// could not copy: the report has it.
void FolderMirror::MirrorEntry(const ListedEntry& entry, const MirroredFolders& folders) {
    if (entry.file) CopiedMB += EntrySizeMB(*entry.file);
    sourceFile_.assign(folders.source).append(entry.name);
    destinationFile_.assign(folders.destination).append(entry.name);
    view_.MirrorProgress(CopiedMB, TotalMB, destinationFile_);
    const EntryOutcome outcome =
        UpdateEntry(entry.name, entry.file, folders, found_,
                    [&]() -> const platform::Folder& { return CopySource(folders); });
    // A file gone from the server since it was listed is passed over, as one gone before its
    // listing, whichever walk listed it.
    if (outcome.gone) return;
    if (Report && entry.file) Report->FileExamined();
    if (Report && outcome.copied) Report->FileCopied(entry.file->size);
    if (Report && outcome.waiting)
        Report->NewCopyWaiting(folders.destination + kNewCopyPrefix + entry.name);
    if (outcome.failure) Failure(sourceFile_, *outcome.failure);
}
