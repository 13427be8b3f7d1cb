#include "database/ColumnText.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/TextEncoding.h"

namespace {

std::string UpToZero(const char* data, std::size_t length) {
    const void* zero = std::memchr(data, '\0', length);
    return std::string(data, zero ? static_cast<const char*>(zero) - data : length);
}

// The client's number of the character set UTF8, in which an lc_ctype=UTF8 connection gives
// every column that has a character set, and the bytes it allows per character.
constexpr int kUtf8CharacterSet = 4;
constexpr std::size_t kUtf8BytesPerCharacter = 4;

// A fixed-length UTF8 column comes padded with blanks to four bytes per declared character;
// it holds its declared number of characters, as a single-byte column holds its bytes.
std::string DeclaredCharacters(std::string text, std::size_t declared) {
    const std::size_t kept = platform::FirstUtf8Characters(text, declared).size();
    if (text.find_first_not_of(' ', kept) == std::string::npos) text.resize(kept);
    return text;
}

template <typename T>
T Read(const char* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

std::string ScaledInteger(std::int64_t value, int scale) {
    std::string digits = std::to_string(value < 0 ? -static_cast<std::uint64_t>(value)
                                                  : static_cast<std::uint64_t>(value));
    if (scale > 0) digits.append(static_cast<std::size_t>(scale), '0');
    if (scale < 0) {
        const auto places = static_cast<std::size_t>(-scale);
        if (digits.size() <= places) digits.insert(0, places - digits.size() + 1, '0');
        digits.insert(digits.size() - places, ".");
    }
    return value < 0 ? "-" + digits : digits;
}

template <typename T>
std::string Floating(T value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// ISC_DATE counts days from 17 November 1858.
std::string DateText(ISC_DATE days) {
    using namespace std::chrono;
    const year_month_day date{sys_days{year{1858} / November / 17} + std::chrono::days{days}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// ISC_TIME counts units of 1/10000 second from midnight.
std::string TimeText(ISC_TIME units) {
    const unsigned seconds = units / 10000;
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

}  // namespace

std::string ColumnText(const XSQLVAR& column) {
    if ((column.sqltype & 1) && column.sqlind && *column.sqlind == -1) return {};
    const char* data = column.sqldata;
    if (!data) return {};
    switch (column.sqltype & ~1) {
        case SQL_VARYING: {
            const auto length = Read<ISC_USHORT>(data);
            return platform::InternalText(UpToZero(data + sizeof(ISC_USHORT), length));
        }
        case SQL_TEXT: {
            const auto length = static_cast<std::size_t>(column.sqllen);
            std::string text = UpToZero(data, length);
            if ((column.sqlsubtype & 0xFF) == kUtf8CharacterSet)
                text = DeclaredCharacters(std::move(text), length / kUtf8BytesPerCharacter);
            return platform::InternalText(text);
        }
        case SQL_SHORT:
            return ScaledInteger(Read<ISC_SHORT>(data), column.sqlscale);
        case SQL_LONG:
            return ScaledInteger(Read<std::int32_t>(data), column.sqlscale);
        case SQL_INT64:
            return ScaledInteger(Read<ISC_INT64>(data), column.sqlscale);
        case SQL_FLOAT:
            return Floating(Read<float>(data));
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return Floating(Read<double>(data));
        case SQL_TYPE_DATE:
            return DateText(Read<ISC_DATE>(data));
        case SQL_TYPE_TIME:
            return TimeText(Read<ISC_TIME>(data));
        case SQL_TIMESTAMP: {
            const auto stamp = Read<ISC_TIMESTAMP>(data);
            return DateText(stamp.timestamp_date) + " " + TimeText(stamp.timestamp_time);
        }
        case SQL_BOOLEAN:
            return Read<FB_BOOLEAN>(data) ? "True" : "False";
        default:
            return {};
    }
}
