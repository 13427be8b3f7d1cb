#pragma once
// The newer-files folder mirror.

#include <optional>
#include <string>
#include <vector>

#include "engine/FolderWalk.h"
#include "engine/ProgressView.h"
#include "engine/RunReport.h"
#include "engine/TreeListing.h"
#include "platform/Files.h"

// Destination folders whose path holds this text (case-sensitively) are the playout system's
// database folders: files go in under kNewCopyPrefix + name and are then renamed.
inline constexpr const char* kDatabaseFolderMarker = "Tavixdb";
inline constexpr const char* kNewCopyPrefix = "NOVO_";
// Why a source folder that the server does not have was not mirrored.
inline constexpr const char* kSourceFolderMissing = "pasta não encontrada no servidor";

// Where a walk broke off (the folder's path) and why (the error's text).
struct WalkFailure {
    std::string folder;
    std::string reason;
};

// How the walk of a folder ended: to its end, or broken off by an error.
struct WalkResult {
    std::optional<WalkFailure> failure;
    explicit operator bool() const { return !failure; }
};

// One folder of a mirror walk on both sides: held open, and the paths (ending with "\") that
// copies, the display and the report take. The source folder is not opened where its kept listing
// stands for it (nullptr).
struct MirroredFolders {
    const platform::Folder* sourceFolder;
    const platform::Folder& destinationFolder;
    const std::string& source;
    const std::string& destination;
};

class FolderMirror {
public:
    explicit FolderMirror(ProgressView& view) : view_(view) {}

    // Brings `destination` up to date from `source`: copies every file that is missing there or
    // older (at the two-second resolution of the MS-DOS time), never deletes; with `recursive`
    // the visible subfolders too. Complete when this folder's walk ran to its end; an error that
    // broke it off is the result's failure. What does not stop the walk goes to Report, when
    // there is one: a file it could not copy (or copied without its permissions or attributes),
    // a new copy left waiting in a database folder, a folder it could not create or did not find,
    // and a subfolder whose walk broke off (the walk goes on with the next one). With `listed`,
    // the folders kept there are not listed again: the walk decides from their kept listing.
    WalkResult MirrorFolder(std::string source, std::string destination, bool recursive,
                            const TreeListing* listed = nullptr);
    // A backup job: TotalMB := the size of `source` (FolderSizeMB, its failures to Report),
    // CopiedMB := 0, then MirrorFolder from the listing the size total kept, so that the server is
    // listed once.
    WalkResult MeasureAndMirror(const std::string& source, const std::string& destination,
                                bool recursive);

    double TotalMB = 0;   // the progress maximum, set by the caller before each mirror
    double CopiedMB = 0;  // grown by every entry walked, through all levels
    RunReport* Report = nullptr;

private:
    // The walk below the public MirrorFolder: subfolders are opened relative to their parents.
    WalkResult MirrorFolder(const MirroredFolders& folders, bool recursive);
    std::optional<platform::Folder> OpenUnlessKept(const platform::Folder* parent,
                                                   const std::string& name,
                                                   const std::string& path) const;
    void ReportListing(const ListingEnd& end, const std::string& source);
    void MirrorEntry(const ListedEntry& entry, const MirroredFolders& folders);
    const platform::Folder& CopySource(const MirroredFolders& folders);
    platform::Folder DestinationFolder(platform::Folder opened, const std::string& destination);
    void Failure(const std::string& path, const std::string& reason) {
        if (Report) Report->Failure(path, reason);
    }
    ProgressView& view_;
    const TreeListing* listed_ = nullptr;  // during a walk from the size total's listing
    // The source folder opened for copies where a kept listing stands for it, and its path.
    std::optional<platform::Folder> copySource_;
    std::string copySourcePath_;
    // What is rewritten for every entry, in buffers that keep their capacity: the entry's two
    // paths and what the look-ups found.
    std::string sourceFile_;
    std::string destinationFile_;
    platform::FindData found_;
};

// The last-write time of a file as a date-time value, through the MS-DOS form; kNoFileTime
// for a missing file, a folder, or a time that has no MS-DOS form.
double FileModifiedTime(const std::string& fileName);
