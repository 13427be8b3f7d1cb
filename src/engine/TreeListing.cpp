#include "engine/TreeListing.h"

#include <algorithm>
#include <limits>

namespace {

// A buffer's next capacity when it is full, as grown here rather than by the library, so that the
// budget counts what is really allocated.
std::size_t Grown(std::size_t capacity, std::size_t needed) {
    return std::max(needed, std::max<std::size_t>(capacity * 2, 1024));
}

}  // namespace

std::size_t TreeListing::Bytes() const {
    return entries_.capacity() * sizeof(Entry) + names_.capacity() + folderBytes_;
}

void TreeListing::BeginFolder(const std::string& path) {
    Abandon();
    if (overBudget_) return;
    current_ = path;
    currentFirst_ = entries_.size();
    currentNames_ = names_.size();
    keeping_ = true;
}

void TreeListing::Add(const ListedEntry& entry) {
    if (!keeping_) return;
    if (entry.name.size() > std::numeric_limits<std::uint16_t>::max()) {
        Abandon();  // no file system names an entry so long: the mirror lists it itself
        return;
    }
    if (!Reserve(entries_.size() + 1, names_.size() + entry.name.size())) {
        overBudget_ = true;
        Abandon();
        return;
    }
    Entry kept{};
    kept.nameOffset = static_cast<std::uint32_t>(names_.size());
    kept.nameSize = static_cast<std::uint16_t>(entry.name.size());
    kept.kind = entry.kind;
    if (entry.file) {
        kept.size = entry.file->size;
        kept.lastWriteTime = entry.file->lastWriteTime.ticks;
        kept.attributes = entry.file->attributes;
    } else {
        kept.attributes = entry.kind;
    }
    names_.append(entry.name);
    entries_.push_back(kept);
}

void TreeListing::EndFolder(const ListingEnd& end) {
    if (!keeping_) return;
    // A map node holds its key, the range, a hash and the bucket's links.
    const std::size_t nodeBytes = current_.capacity() + sizeof(Range) + 4 * sizeof(void*);
    if (end.how != ListingEnd::kComplete || Bytes() + nodeBytes > budget_) {
        if (end.how == ListingEnd::kComplete) overBudget_ = true;
        Abandon();
        return;
    }
    folderBytes_ += nodeBytes;
    folders_.emplace(std::move(current_), Range{currentFirst_, entries_.size()});
    keeping_ = false;
}

bool TreeListing::Reserve(std::size_t entries, std::size_t nameBytes) {
    const std::size_t entryCapacity =
        entries > entries_.capacity() ? Grown(entries_.capacity(), entries) : entries_.capacity();
    const std::size_t nameCapacity =
        nameBytes > names_.capacity() ? Grown(names_.capacity(), nameBytes) : names_.capacity();
    if (entryCapacity * sizeof(Entry) + nameCapacity + folderBytes_ > budget_) return false;
    entries_.reserve(entryCapacity);
    names_.reserve(nameCapacity);
    return true;
}

// The folder being kept is dropped: the mirror lists it itself.
void TreeListing::Abandon() {
    if (!keeping_) return;
    entries_.resize(currentFirst_);
    names_.resize(currentNames_);
    current_.clear();
    keeping_ = false;
}
