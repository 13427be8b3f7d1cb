#include "mainform/ProgressTexts.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "platform/TextEncoding.h"

namespace {

void AppendRounded(std::string& text, double value) {
    char digits[24];
    const long long rounded = static_cast<long long>(std::nearbyint(value));  // half to even
    text.append(digits, std::to_chars(digits, digits + sizeof digits, rounded).ptr);
}

// Where the last `count` characters of `text` begin. In UTF-8 a character takes up to four
// bytes, the first of which is never a continuation byte (10xxxxxx); counting at most three of
// those per character keeps bytes that are not UTF-8 counted too. Elsewhere a byte is a character.
std::size_t StartOfLastCharacters(std::string_view text, std::size_t count) {
    std::size_t start = text.size();
    for (; count > 0 && start > 0; --count) {
        --start;
        if constexpr (platform::kTextIsUtf8) {
            for (int more = 0;
                 more < 3 && start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80;
                 ++more)
                --start;
        }
    }
    return start;
}

}  // namespace

void FormatProgressText(std::string& text, double copiedMB, double totalMB) {
    text.assign("Copiando: ");
    AppendRounded(text, copiedMB);
    text.append(" MB de ");
    AppendRounded(text, totalMB);
    text.append(" MB");
}

void FormatDestinationLine(std::string& line, const std::string& fullPath) {
    line.assign(StartOfLastCharacters(fullPath, 55) > 0 ? "..." : "");
    line.append(fullPath, StartOfLastCharacters(fullPath, 56));
}
