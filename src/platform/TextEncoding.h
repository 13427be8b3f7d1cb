#pragma once
// The program's text encoding and the one place where texts from outside are brought into it.
//
// Inside the program every text is in one encoding per system: UTF-8 on Linux (what the window
// and the file system take), the ANSI code page on Windows (what the A functions take). A text
// is converted once, where it enters (a database column, a value of the settings file), and
// never again on its way: path resolution takes what it is given.

#include <string>
#include <string_view>

namespace platform {

// How 8-bit texts hold characters: UTF-8 on POSIX, where one character may take up to four
// bytes; the ANSI code page on Windows, one byte per character.
#ifdef _WIN32
inline constexpr bool kTextIsUtf8 = false;
#else
inline constexpr bool kTextIsUtf8 = true;
#endif

// Whether `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no UTF-16 surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The first `count` characters of the UTF-8 text `text`; all of it when it has no more.
std::string_view FirstUtf8Characters(std::string_view text, std::size_t count);

// `text` read as Windows-1252, written in UTF-8. The five bytes the code page leaves undefined
// (81, 8D, 8F, 90, 9D) become the control characters of the same number, as Windows maps them.
std::string Cp1252ToUtf8(std::string_view text);

// A text from outside the program in the program's encoding. On Linux a text that is valid
// UTF-8 stays as it is, and any other is read as Windows-1252, the code page the playout
// system's Windows programs write; on Windows the text stays as it is.
std::string InternalText(std::string_view text);

// A text of the program in UTF-8, as the world outside it takes texts (a URL, a JSON body): on
// Linux as it is; on Windows from the ANSI code page.
std::string Utf8Text(std::string_view text);

// Makes the system's own text conversions take the program's texts as they are. On Linux the C
// library's character type (LC_CTYPE) becomes UTF-8 when it is not: libraries that convert
// texts from "the system's character set" (the Firebird client converts database file names)
// would otherwise refuse every accented name under the C locale. Nothing to do on Windows.
void UseProgramEncodingForSystemTexts();

}  // namespace platform
