#pragma once

#include <string>

#include "ProgressView.h"

// The size in MB of the entries the folder mirror will walk in `path`: every entry of the folder,
// hidden and system files included, and with `recursive` the subfolders that ListSubfolders
// gives. Lets the window process its messages after every entry and shows nothing. An empty path
// is refused with std::invalid_argument; any other failure ends the count with the total so far.
double FolderSizeMB(const std::string& path, bool recursive, ProgressView& view);
