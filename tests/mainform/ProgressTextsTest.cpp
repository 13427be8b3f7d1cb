// The texts the window shows of a mirror walk: the progress line and the destination line.

#include <gtest/gtest.h>

#include "mainform/ProgressTexts.h"

TEST(ProgressTextTest, RoundsHalfToEven) {
    struct Case {
        double copied, total;
        const char* text;
    };
    const Case cases[] = {
        {12.4, 339.6, "Copiando: 12 MB de 340 MB"},
        {2.5, 3.5, "Copiando: 2 MB de 4 MB"},
        {0.5, 1.5, "Copiando: 0 MB de 2 MB"},
        {0, 0, "Copiando: 0 MB de 0 MB"},
        {-2.5, 1234567.5, "Copiando: -2 MB de 1234568 MB"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressText(c.copied, c.total), c.text);
}

TEST(DestinationLineTest, ShowsAtMostTheLast56CharactersAfterDots) {
    const std::string base(50, 'a');
    struct Case {
        std::string full;
        std::string shown;
    };
    const Case cases[] = {
        {base + "12345", base + "12345"},                        // 55: whole
        {base + "123456", "..." + base + "123456"},              // 56: dots and whole
        {base + "1234567", "..." + base.substr(1) + "1234567"},  // 57: dots and last 56
        {std::string(200, 'b') + "end", "..." + std::string(53, 'b') + "end"},
    };
    for (const Case& c : cases) EXPECT_EQ(DestinationLine(c.full), c.shown) << c.full.size();
}

#ifndef _WIN32
TEST(DestinationLineTest, CountsCharactersOfUtf8AndNeverCutsOneInTwo) {
    const std::string c = "\xC3\xA7";         // "ç", two bytes
    const std::string note = "\xE2\x99\xAB";  // a note sign, three bytes
    const std::string base = std::string(20, 'a') + c + c + note + std::string(20, 'b') + c;
    ASSERT_EQ(base.size(), 49u);                // 44 characters
    const std::string tail = "1234567890" + c;  // 11 characters
    struct Case {
        std::string full;
        std::string shown;
    };
    const Case cases[] = {
        {base + tail, base + tail},                         // 55 characters: whole
        {c + base + tail, "..." + c + base + tail},         // 56: dots and whole
        {note + c + base + tail, "..." + c + base + tail},  // 57: dots and last 56
        {std::string(100, 'x') + note + std::string(55, 'y'), "..." + note + std::string(55, 'y')},
    };
    for (const Case& k : cases) EXPECT_EQ(DestinationLine(k.full), k.shown) << k.full;
}
#endif
