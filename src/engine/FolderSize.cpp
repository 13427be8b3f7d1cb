#include "FolderSize.h"

#include <stdexcept>
#include <vector>

#include "FolderMirror.h"

double FolderSizeMB(std::string path, bool recursive, ProgressView& view) {
    if (path.empty()) throw std::invalid_argument("Caminho de pasta vazio");
    AppendBackslash(path);
    double total = 0;
    try {
        for (platform::DirectorySearch search(path + "*.*"); search.Found(); search.Next()) {
            if (!IsDotOrDotDot(search.Entry().name)) total = EntrySizeMB(search.Entry()) + total;
            view.ProcessMessages();
        }
        if (recursive) {
            std::vector<std::string> subfolders;
            ListSubfolders(path, subfolders);
            for (const std::string& name : subfolders)
                if (!IsDotOrDotDot(name))
                    total = FolderSizeMB(path + name + '\\', recursive, view) + total;
        }
    } catch (...) {
        // The total reached so far stands.
    }
    return total;
}
