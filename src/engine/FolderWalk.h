#pragma once
// What the two folder walkers, the mirror and the size total, share: how a folder's entries and
// subfolders are taken from its listing, so that both walk the very same entries.

#include <string>
#include <vector>

#include "Files.h"

// Appends "\" when the path does not end with one.
void AppendBackslash(std::string& path);
bool IsDotOrDotDot(const std::string& name);
// A Linux server may hold names that Windows reads as paths ("..\..\x", "C:x"): joined to the
// folder, they would name another place than an entry of it.
bool IsPathLike(const std::string& name);
// An entry's size in MB. Files of 2 GiB or more count their whole size, in both walkers alike.
double EntrySizeMB(const platform::FindData& entry);
// The listed entry when it is a file, looked up once (on POSIX) for its size and time; nullptr
// for a folder, which counts 0 and needs no look-up, and for a file gone since it was listed.
const platform::FindData* ListedFile(const platform::DirectorySearch& search);
// Appends the names of the subfolders of `folder` to `list`, from the listing alone (on POSIX no
// entry is looked up where the file system lists entry types). Hidden and system entries are
// left out, and so are folder links, which could loop, and names that are paths.
void ListSubfolders(const platform::Folder& folder, std::vector<std::string>& list);
