// The closing line's date and time follow the user's locale: checked with pt_BR, whose short
// date is day/month/year and whose long time has 24 hours. CTest runs it with a pt_BR locale made
// for the purpose; where none can be made, the case is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/UserDateTime.h"
#include "support/TestFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <locale.h>
#endif

namespace {

bool UserLocaleIsPtBr() {
#ifdef _WIN32
    return GetUserDefaultLCID() == 0x0416;
#else
    const char* name = std::getenv("LC_ALL");
    if (!name || std::string(name).rfind("pt_BR", 0) != 0) return false;
    locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (locale) freelocale(locale);
    return locale != static_cast<locale_t>(0);
#endif
}

std::int64_t Local(int year, int month, int day, int hour, int minute, int second) {
    return std::chrono::system_clock::to_time_t(LocalTime(year, month, day, hour, minute, second));
}

TEST(UserDateTimeTextTest, ShortDateAndLongTimeOfThePtBrUser) {
    if (!UserLocaleIsPtBr()) GTEST_SKIP() << "the user's locale is not pt_BR";
    EXPECT_EQ(platform::UserDateTimeText(Local(2026, 12, 10, 9, 5, 7)), "10/12/2026 09:05:07");
    EXPECT_EQ(platform::UserDateTimeText(Local(2026, 12, 10, 21, 0, 0)), "10/12/2026 21:00:00");
    // Exactly midnight: the date alone.
    EXPECT_EQ(platform::UserDateTimeText(Local(2026, 1, 2, 0, 0, 0)), "02/01/2026");
}

}  // namespace
