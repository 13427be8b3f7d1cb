#include "engine/FolderWalk.h"

void AppendBackslash(std::string& path) {
    if (path.empty() || path.back() != '\\') path += '\\';
}

bool IsDotOrDotDot(const std::string& name) { return name == "." || name == ".."; }

bool IsPathLike(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

double EntrySizeMB(const platform::FindData& entry) {
    return static_cast<double>(entry.size) / 1024 / 1024;
}

bool IsWalkedSubfolder(const ListedEntry& entry) {
    constexpr std::uint32_t kLeftOut = platform::kAttrHidden | platform::kAttrSystem |
                                       platform::kAttrVolumeLabel | platform::kAttrReparsePoint;
    return (entry.kind & platform::kAttrDirectory) && !(entry.kind & kLeftOut) &&
           !IsPathLike(entry.name);
}
