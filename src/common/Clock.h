#pragma once
// Where the program takes the time from: the daily schedule's minute and the closing line's
// date and time. The window uses the system's clock; tests hand in a clock set to any moment.

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
