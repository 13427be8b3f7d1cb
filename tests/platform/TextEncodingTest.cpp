// The program's text encoding: the UTF-8 check, the Windows-1252 decoder and the conversion of
// texts from outside, on their own.

#include <gtest/gtest.h>

#include <string>

#include "platform/TextEncoding.h"

TEST(TextEncodingTest, TellsWellFormedUtf8FromEverythingElse) {
    const struct {
        const char* name;
        std::string text;
        bool valid;
    } cases[] = {
        {"empty", "", true},
        {"ASCII with a zero byte", std::string("C:\\M\0x", 5), true},
        {"two-byte characters", "M\xC3\xBAsicas\\Forr\xC3\xB3", true},
        {"three-byte characters", "\xE6\x97\xA5\xE6\x9C\xAC", true},
        {"four-byte character", "\xF0\x9F\x8E\xB5", true},
        {"highest code point", "\xF4\x8F\xBF\xBF", true},
        {"Windows-1252 bytes", "M\xFAsicas\\Forr\xF3", false},
        {"lone continuation byte", "\x80", false},
        {"sequence cut short", "M\xC3", false},
        {"three-byte sequence cut short", "\xE6\x97", false},
        {"missing continuation", "\xC3(", false},
        {"overlong two bytes", "\xC0\xAF", false},
        {"overlong three bytes", "\xE0\x80\xAF", false},
        {"overlong four bytes", "\xF0\x80\x80\xAF", false},
        {"UTF-16 surrogate", "\xED\xA0\x80", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"never a lead byte", "\xFF", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::IsValidUtf8(c.text), c.valid) << c.name;
}

TEST(TextEncodingTest, DecodesEveryWindows1252Byte) {
    const struct {
        std::string cp1252;
        std::string utf8;
    } cases[] = {
        {"\\\\SRV01\\D\\M\xFAsicas\\Forr\xF3\\", "\\\\SRV01\\D\\M\xC3\xBAsicas\\Forr\xC3\xB3\\"},
        {"R\xE1"
         "dio Programa\xE7\xE3o",
         "R\xC3\xA1"
         "dio Programa\xC3\xA7\xC3\xA3o"},
        {"\x80", "\xE2\x82\xAC"},                    // euro sign
        {"\x8A\x9F", "\xC5\xA0\xC5\xB8"},            // S with caron, Y with diaeresis
        {"\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},  // curly quotes
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // undefined
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::Cp1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_TRUE(platform::IsValidUtf8(platform::Cp1252ToUtf8(c.cp1252)));
    }
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) everyByte += static_cast<char>(byte);
    EXPECT_TRUE(platform::IsValidUtf8(platform::Cp1252ToUtf8(everyByte)));
}

TEST(TextEncodingTest, CountsCharactersNotBytes) {
    const std::string forro = "Forr\xC3\xB3 \xE6\x97\xA5";
    EXPECT_EQ(platform::FirstUtf8Characters(forro, 5), "Forr\xC3\xB3");
    EXPECT_EQ(platform::FirstUtf8Characters(forro, 7), forro);
    EXPECT_EQ(platform::FirstUtf8Characters(forro, 100), forro);
    EXPECT_EQ(platform::FirstUtf8Characters(forro, 0), "");
}

TEST(TextEncodingTest, TextsFromOutsideComeInTheProgramsEncoding) {
    const std::string utf8 = "M\xC3\xBAsicas\\\xE6\x97\xA5\xE6\x9C\xAC";
    EXPECT_EQ(platform::InternalText(utf8), utf8);
    EXPECT_EQ(platform::InternalText("C:\\Tavix\\"), "C:\\Tavix\\");
#ifdef _WIN32
    // The ANSI code page is the program's own encoding: nothing is converted.
    EXPECT_EQ(platform::InternalText("M\xFAsicas"), "M\xFAsicas");
#else
    EXPECT_EQ(platform::InternalText("M\xFAsicas"), "M\xC3\xBAsicas");
    // One byte that is not UTF-8 makes the whole text Windows-1252.
    EXPECT_EQ(platform::InternalText("\xC3\xA1 \xE1"), "\xC3\x83\xC2\xA1 \xC3\xA1");
#endif
}
