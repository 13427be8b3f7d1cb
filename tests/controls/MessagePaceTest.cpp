// The pace at which a window processes its messages during a walk, on a clock the test moves.

#include <gtest/gtest.h>

#include <chrono>

#include "controls/MessagePace.h"
#include "support/FixedClock.h"

using std::chrono::milliseconds;

// The messages are processed at the first entry, then once the period has passed since they last
// were: a walk of many small entries processes them by time, not once per entry, and a click
// waits at most a period.
TEST(MessagePaceTest, MessagesAreDueAtMostOncePerPeriodAndOnceItHasPassed) {
    ManualSteadyClock clock;
    MessagePace pace(clock);
    const milliseconds period = MessagePace::kPeriod;
    struct Case {
        milliseconds after;  // since the previous case
        bool due;
    };
    const Case cases[] = {
        {milliseconds(0), true},            // the first entry
        {milliseconds(0), false},           // the next one, at once
        {period - milliseconds(1), false},  // not yet a period
        {milliseconds(1), true},            // a period since the last processing
        {period / 2, false},                // the period starts again there
        {period / 2, true},
        {period * 5, true},        // after a long entry: at once,
        {milliseconds(0), false},  // and once only
    };
    for (const Case& c : cases) {
        clock.now += c.after;
        EXPECT_EQ(pace.Due(), c.due) << (clock.now.time_since_epoch() / milliseconds(1)) << " ms";
    }
}

// A walk of 1000 entries over 50 ms of the clock processes the messages about once per period,
// not once per entry.
TEST(MessagePaceTest, AWalkOfManyEntriesIsProcessedOncePerPeriod) {
    constexpr int kEntries = 1000;
    constexpr milliseconds kWalk{50};
    ManualSteadyClock clock;
    clock.perRead = std::chrono::nanoseconds(kWalk) / kEntries;
    MessagePace pace(clock);
    int rounds = 0;
    for (int entry = 0; entry < kEntries; ++entry) rounds += pace.Due();
    const int periods = static_cast<int>(kWalk / MessagePace::kPeriod);
    EXPECT_GE(rounds, periods);
    EXPECT_LE(rounds, periods + 1);
}
