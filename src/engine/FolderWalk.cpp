#include "FolderWalk.h"

void AppendBackslash(std::string& path) {
    if (path.empty() || path.back() != '\\') path += '\\';
}

bool IsDotOrDotDot(const std::string& name) { return name == "." || name == ".."; }

bool IsPathLike(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

double EntrySizeMB(const platform::FindData& entry) {
    return static_cast<double>(entry.size) / 1024 / 1024;
}

const platform::FindData* ListedFile(const platform::DirectorySearch& search) {
    return search.Kind() & platform::kAttrDirectory ? nullptr : search.Entry();
}

void ListSubfolders(const platform::Folder& folder, std::vector<std::string>& list) {
    constexpr std::uint32_t kLeftOut = platform::kAttrHidden | platform::kAttrSystem |
                                       platform::kAttrVolumeLabel | platform::kAttrReparsePoint;
    for (platform::DirectorySearch search(folder); search.Found(); search.Next()) {
        const std::uint32_t kind = search.Kind();
        if (!(kind & kLeftOut) && (kind & platform::kAttrDirectory) && !IsPathLike(search.Name()))
            list.push_back(search.Name());
    }
}
