#pragma once

#include <string>

#include "engine/ProgressView.h"
#include "engine/RunReport.h"
#include "engine/TreeListing.h"

// Why an empty folder path is refused.
inline constexpr const char* kEmptyFolderPath = "Caminho de pasta vazio";

// The size in MB of the entries the folder mirror will walk in `path`: every entry of the folder,
// hidden and system files included, and with `recursive` the subfolders the walks enter
// (IsWalkedSubfolder), each folder listed once. Lets the window process its messages after every
// entry and shows nothing. An empty path is refused with std::invalid_argument. A folder whose
// count an error breaks off adds what it counted so far, and is a failure of `report`, when there
// is one; the count goes on with the next folder. With `keep`, the listings are kept there for
// the mirror.
double FolderSizeMB(const std::string& path, bool recursive, ProgressView& view,
                    RunReport* report = nullptr, TreeListing* keep = nullptr);
