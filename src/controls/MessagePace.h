#pragma once
// When a window processes its messages during a run. A walk lets the window process its messages
// after every entry; the window does so only once kPeriod has passed since it last did, so it
// still answers a click within 20 ms while a walk of many small entries pays a clock read per
// entry, not a round of the message queue. The system's steady clock is read without a system
// call where the system keeps the clock in user space (Linux's vDSO, Windows'
// QueryPerformanceCounter); tests give a clock of their own.

#include <chrono>
#include <optional>

#include "common/Clock.h"

class MessagePace {
public:
    static constexpr std::chrono::milliseconds kPeriod{10};

    explicit MessagePace(const SteadyClock& clock = SteadyClock::System()) : clock_(&clock) {}

    // Whether the messages are due now: at the first call, and once kPeriod has passed since
    // they last were. When they are, the period starts again.
    bool Due() {
        const SteadyClock::TimePoint now = clock_->Now();
        if (last_ && now - *last_ < kPeriod) return false;
        last_ = now;
        return true;
    }

private:
    const SteadyClock* clock_;
    std::optional<SteadyClock::TimePoint> last_;
};
