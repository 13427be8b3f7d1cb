#include "FolderSize.h"

#include <stdexcept>
#include <vector>

#include "FolderWalk.h"

namespace {

// The count of an open folder, whose path text `path` ends with "\\"; subfolders are opened
// relative to it.
double OpenFolderSizeMB(const platform::Folder& folder, const std::string& path, bool recursive,
                        ProgressView& view, RunReport* report) {
    double total = 0;
    try {
        for (platform::DirectorySearch search(folder); search.Found(); search.Next()) {
            if (!IsDotOrDotDot(search.Name()))
                if (const platform::FindData* file = ListedFile(search))
                    total = EntrySizeMB(*file) + total;
            view.ProcessMessages();
        }
        if (recursive) {
            std::vector<std::string> subfolders;
            ListSubfolders(folder, subfolders);
            for (const std::string& name : subfolders)
                if (!IsDotOrDotDot(name))
                    total = OpenFolderSizeMB(platform::Folder(folder, name), path + name + '\\',
                                             recursive, view, report) +
                            total;
        }
    } catch (...) {
        // The total reached so far stands.
        if (report) report->Failure(path, CurrentErrorText());
    }
    return total;
}

}  // namespace

double FolderSizeMB(const std::string& path, bool recursive, ProgressView& view,
                    RunReport* report) {
    if (path.empty()) throw std::invalid_argument("Caminho de pasta vazio");
    std::string folder = path;
    AppendBackslash(folder);
    return OpenFolderSizeMB(platform::Folder(folder), folder, recursive, view, report);
}
