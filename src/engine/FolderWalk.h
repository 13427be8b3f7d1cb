#pragma once
// What the two folder walkers, the mirror and the size total, share: how a folder's entries and
// subfolders are taken from its one listing, so that both walk the very same entries.

#include <string>

#include "platform/Files.h"
#include "platform/SystemError.h"

// Appends "\" when the path does not end with one.
void AppendBackslash(std::string& path);
bool IsDotOrDotDot(const std::string& name);
// A Linux server may hold names that Windows reads as paths ("..\..\x", "C:x"): joined to the
// folder, they would name another place than an entry of it.
bool IsPathLike(const std::string& name);
// An entry's size in MB. Files of 2 GiB or more count their whole size, in both walkers alike.
double EntrySizeMB(const platform::FindData& entry);

// One entry of a folder's listing as the walks take it.
struct ListedEntry {
    const std::string& name;
    std::uint32_t kind;              // its kKindAttributes
    const platform::FindData* file;  // the whole entry when it is a file; nullptr for a folder
};

// Whether the walks enter a listed entry as a subfolder: a folder that is neither hidden, system
// nor a volume label, nor a link, which could loop, and whose name is no path.
bool IsWalkedSubfolder(const ListedEntry& entry);

// How a folder's listing ended: with its last entry; with nothing at all, not even "." and ".."
// (the folder is not there or cannot be read); or broken off by an error, so that entries may be
// missing. `reason` is the system's, when it did not end well.
struct ListingEnd {
    enum How : std::uint8_t { kComplete, kNotListed, kInterrupted };
    How how = kComplete;
    std::string reason;
};

// Lists `folder` once and hands each entry to `onEntry`, in the order the system lists them:
// files looked up once for their size, time and attributes (on POSIX, where the listing carries
// only names and types), folders not at all. "." and ".." are left out, and so is a file gone
// between its listing and its look-up, as one gone before the listing.
template <class OnEntry>
ListingEnd ListFolder(const platform::Folder& folder, OnEntry&& onEntry) {
    bool listed = false;
    platform::DirectorySearch search(folder);
    for (; search.Found(); search.Next()) {
        listed = true;
        if (IsDotOrDotDot(search.Name())) continue;
        const std::uint32_t kind = search.Kind();
        const bool isFolder = kind & platform::kAttrDirectory;
        const platform::FindData* file = isFolder ? nullptr : search.Entry();
        if (isFolder || file) onEntry(ListedEntry{search.Name(), kind, file});
    }
    if (!listed) return {ListingEnd::kNotListed, platform::LastErrorText()};
    if (search.Interrupted()) return {ListingEnd::kInterrupted, platform::LastErrorText()};
    return {};
}
