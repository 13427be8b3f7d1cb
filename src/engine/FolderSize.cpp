#include "engine/FolderSize.h"

#include <stdexcept>
#include <vector>

#include "engine/FolderWalk.h"

namespace {

// The count of an open folder, whose path text `path` ends with "\\"; subfolders are opened
// relative to it.
double OpenFolderSizeMB(const platform::Folder& folder, const std::string& path, bool recursive,
                        ProgressView& view, RunReport* report, TreeListing* keep) {
    double total = 0;
    try {
        std::vector<std::string> subfolders;
        if (keep) keep->BeginFolder(path);
        const ListingEnd end = ListFolder(folder, [&](const ListedEntry& entry) {
            if (entry.file) total = EntrySizeMB(*entry.file) + total;
            if (recursive && IsWalkedSubfolder(entry)) subfolders.push_back(entry.name);
            if (keep) keep->Add(entry);
            view.ProcessMessages();
        });
        if (keep) keep->EndFolder(end);
        for (const std::string& name : subfolders)
            total = OpenFolderSizeMB(platform::Folder(folder, name), path + name + '\\', recursive,
                                     view, report, keep) +
                    total;
    } catch (...) {
        // The total reached so far stands.
        if (report) report->Failure(path, CurrentErrorText());
    }
    return total;
}

}  // namespace

double FolderSizeMB(const std::string& path, bool recursive, ProgressView& view, RunReport* report,
                    TreeListing* keep) {
    if (path.empty()) throw std::invalid_argument(kEmptyFolderPath);
    std::string folder = path;
    AppendBackslash(folder);
    return OpenFolderSizeMB(platform::Folder(folder), folder, recursive, view, report, keep);
}
