#pragma once
// Where the program takes the time from: the daily schedule's minute and the closing line's
// date and time (Clock), and the intervals of the window's pace (SteadyClock). The window uses
// the system's clocks; tests hand in clocks set to any moment.

#include <chrono>
#include <ctime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::time_t Now() const = 0;
};

class SystemClock final : public Clock {
public:
    std::time_t Now() const override { return std::time(nullptr); }
};

// A clock for intervals, which no change of the date or the time moves.
class SteadyClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~SteadyClock() = default;
    virtual TimePoint Now() const = 0;
    // The system's steady clock.
    static const SteadyClock& System();
};

class SystemSteadyClock final : public SteadyClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

inline const SteadyClock& SteadyClock::System() {
    static const SystemSteadyClock clock;
    return clock;
}

// A moment in the local time zone, broken down.
inline std::tm ToLocalTime(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return local;
}
