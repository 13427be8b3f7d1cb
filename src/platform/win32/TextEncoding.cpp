// The program's encoding on Windows: the ANSI code page, in which the A functions take and give
// every text. Texts from outside arrive in it already.

#include "platform/TextEncoding.h"

#include "platform/win32/Win32Internal.h"

namespace platform {

std::string InternalText(std::string_view text) { return std::string(text); }

std::string Utf8Text(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, utf16.data(), wide);
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

void UseProgramEncodingForSystemTexts() {}

}  // namespace platform
