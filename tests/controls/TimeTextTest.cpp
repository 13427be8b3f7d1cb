#include <gtest/gtest.h>

#include <optional>

#include "controls/TimeText.h"

namespace {

struct ConversionCase {
    const char* text;
    std::optional<TimeOfDay> expected;
};

class TimeConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(TimeConversion, FollowsTheRules) {
    const ConversionCase& c = GetParam();
    EXPECT_EQ(TextToTime(c.text), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Time, TimeConversion,
    ::testing::Values(ConversionCase{"07:30", TimeOfDay{7, 30}},
                      ConversionCase{"00:00", TimeOfDay{0, 0}},
                      ConversionCase{"23:59", TimeOfDay{23, 59}},
                      ConversionCase{" 7:30", TimeOfDay{7, 30}},  // hour tens empty
                      ConversionCase{"7 :30", TimeOfDay{7, 30}},  // blank before the separator
                      ConversionCase{"12: 5", TimeOfDay{12, 5}},  // blank before the minutes
                      ConversionCase{"7:30 ", TimeOfDay{7, 30}},  // blanks at the end
                      ConversionCase{"007:3", TimeOfDay{7, 3}},   // any number of digits
                      ConversionCase{"24:00", std::nullopt}, ConversionCase{"25:00", std::nullopt},
                      ConversionCase{"07:60", std::nullopt},
                      ConversionCase{"07:  ", std::nullopt},  // minutes missing
                      ConversionCase{"  :30", std::nullopt},  // hours missing
                      ConversionCase{"1 :  ", std::nullopt}, ConversionCase{"  :  ", std::nullopt},
                      ConversionCase{"0730", std::nullopt},  // no separator
                      ConversionCase{"07:30x", std::nullopt},
                      ConversionCase{"07:30:00", std::nullopt},
                      ConversionCase{"a7:30", std::nullopt}, ConversionCase{"-7:30", std::nullopt},
                      ConversionCase{"99999999999:00", std::nullopt},
                      ConversionCase{"", std::nullopt}, ConversionCase{":", std::nullopt}));

TEST(ClockText, TwoDigitsEachWithTheSeparator) {
    EXPECT_EQ(ClockText({7, 30}), "07:30");
    EXPECT_EQ(ClockText({0, 0}), "00:00");
    EXPECT_EQ(ClockText({23, 59}), "23:59");
    EXPECT_EQ(ClockText({12, 5}), "12:05");
}

}  // namespace

// What the schedule takes from the time field, and how the field's text meets the clock's.
TEST(ScheduleText, BlankOrAReadableTimeAndALeadingBlankReadsAsZero) {
    struct Case {
        const char* field;
        bool taken;
        const char* asClock;
    };
    const Case cases[] = {
        {"  :  ", true, "  :  "},  {"", true, ""},
        {"07:30", true, "07:30"},  {" 7:30", true, "07:30"},
        {"24:00", false, "24:00"}, {"7 :3 ", true, "7 :3 "},
        {"ab:cd", false, "ab:cd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsScheduleText(c.field), c.taken) << '"' << c.field << '"';
        EXPECT_EQ(AsClockText(c.field), c.asClock) << '"' << c.field << '"';
    }
}
