// What both backends' copies decide alike (CopyRules.h), and the temporary names.

#include "platform/FileCopy.h"

#include <algorithm>
#include <cstdio>

#include "platform/CopyRules.h"

namespace platform {
namespace {

// A temporary name: the prefix and eight hexadecimal digits.
constexpr std::string_view kTemporaryPrefix = "~dup";
constexpr std::size_t kTemporaryNameLength = kTemporaryPrefix.size() + 8;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// The name's hash is FNV-1a over its bytes, ASCII letters in lower case as Windows matches names.
std::string TemporaryCopyName(const std::string& destination) {
    const std::size_t nameStart = destination.find_last_of("\\/:") + 1;  // npos + 1 is 0
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = nameStart; i < destination.size(); ++i) {
        hash ^= static_cast<unsigned char>(LowerAscii(destination[i]));
        hash *= 16777619u;
    }
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(hash));
    return destination.substr(0, nameStart) + std::string(kTemporaryPrefix) + digits;
}

bool IsTemporaryCopyName(std::string_view name) {
    if (name.size() != kTemporaryNameLength) return false;
    for (std::size_t i = 0; i < kTemporaryPrefix.size(); ++i)
        if (LowerAscii(name[i]) != kTemporaryPrefix[i]) return false;
    return std::all_of(name.begin() + kTemporaryPrefix.size(), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f');
    });
}

namespace copyrules {

FileTime CopyTime(FileTime sourceTime) {
    const auto dos = ToDosDateTime(sourceTime);
    const auto reduced = dos ? FromDosDateTime(*dos) : std::nullopt;
    return reduced.value_or(sourceTime);
}

bool IsMsDosTime(FileTime time) {
    const auto dos = ToDosDateTime(time);
    const auto back = dos ? FromDosDateTime(*dos) : std::nullopt;
    return back && *back == time;
}

bool RefusesReplacement(std::uint32_t attributes, FileTime time) {
    if (attributes & kAttrDirectory) return true;
    return (attributes & kProtectingAttributes) && !IsMsDosTime(time);
}

CopyOutcome Copied() { return {true, CopyOutcome::Shortfall::kNone, {}}; }

CopyOutcome NotCopied(CopyOutcome::Shortfall shortfall, std::string reason) {
    return {false, shortfall, std::move(reason)};
}

}  // namespace copyrules
}  // namespace platform
