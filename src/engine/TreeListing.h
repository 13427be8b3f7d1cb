#pragma once
// The server's tree as the size total's walk listed it, kept for the mirror's walk, so that a
// run lists the server once: the mirror decides from what was listed and touches the server only
// to copy a file. A file that changes on the server between the two walks is judged by what the
// listing saw.
//
// Compact: per entry its name in one shared buffer and 32 bytes of size, time, kind and
// attributes. The memory is bounded by a budget: a folder that would pass it is not kept, nor is
// any after it, and the mirror lists those itself. Only folders whose listing ran to its end are
// kept; one that could not be listed, or broke off, is listed again by the mirror, which reports
// it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/FolderWalk.h"

class TreeListing {
public:
    // The buffers double as they fill, the entries' up to 16 MiB and the names' up to 8 MiB:
    // 524,288 entries whose names take 16 bytes on average, 419,430 of 20 bytes. A system or
    // music tree far larger than any an installation has.
    static constexpr std::size_t kDefaultBudget = 32u << 20;
    explicit TreeListing(std::size_t budgetBytes = kDefaultBudget) : budget_(budgetBytes) {}

    // Keeping the listing of the folder whose path text (ending with "\") is `path`: begins it,
    // adds each entry, and keeps it once it ran to its end; an abandoned folder is not kept.
    void BeginFolder(const std::string& path);
    void Add(const ListedEntry& entry);
    void EndFolder(const ListingEnd& end);

    // Whether the folder `path` was kept.
    bool Kept(const std::string& path) const { return folders_.contains(path); }
    // Hands the entries of the kept folder `path` to `onEntry`, as ListFolder does.
    template <class OnEntry>
    void Replay(const std::string& path, OnEntry&& onEntry) const {
        const auto folder = folders_.find(path);
        if (folder == folders_.end()) return;
        for (std::size_t i = folder->second.first; i < folder->second.end; ++i) {
            const Entry& entry = entries_[i];
            replayed_.name.assign(names_, entry.nameOffset, entry.nameSize);
            replayed_.attributes = entry.attributes;
            replayed_.lastWriteTime.ticks = entry.lastWriteTime;
            replayed_.size = entry.size;
            const bool isFolder = entry.kind & platform::kAttrDirectory;
            onEntry(ListedEntry{replayed_.name, entry.kind, isFolder ? nullptr : &replayed_});
        }
    }

    // The memory it holds, counted as the capacity of its buffers.
    std::size_t Bytes() const;
    bool OverBudget() const { return overBudget_; }

private:
    struct Entry {
        std::uint64_t size;
        std::uint64_t lastWriteTime;  // FileTime ticks
        std::uint32_t nameOffset;     // into names_
        std::uint32_t kind;           // kKindAttributes
        std::uint32_t attributes;
        std::uint16_t nameSize;
    };
    struct Range {
        std::size_t first, end;  // into entries_
    };
    bool Reserve(std::size_t entries, std::size_t nameBytes);
    void Abandon();

    std::size_t budget_;
    bool overBudget_ = false;
    std::vector<Entry> entries_;
    std::string names_;
    std::unordered_map<std::string, Range> folders_;
    std::size_t folderBytes_ = 0;  // the map's keys and nodes, estimated
    // The folder being kept: its path, where its entries and names begin; empty when none is.
    std::string current_;
    std::size_t currentFirst_ = 0, currentNames_ = 0;
    bool keeping_ = false;
    mutable platform::FindData replayed_;
};
