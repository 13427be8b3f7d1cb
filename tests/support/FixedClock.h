#pragma once
// Clocks that stand still at the moment a test sets.

#include <chrono>

#include "common/Clock.h"
#include "support/TestFolder.h"

class FixedClock : public Clock {
public:
    std::time_t Now() const override { return now; }
    // Moves the clock to a local wall-clock time.
    void SetLocal(int year, int month, int day, int hour, int minute, int second) {
        now =
            std::chrono::system_clock::to_time_t(LocalTime(year, month, day, hour, minute, second));
    }
    std::time_t now = 0;
};

// A steady clock that moves only as the test says: by `now`, and by `perRead` at every reading
// (time passing with the work that reads it).
class ManualSteadyClock final : public SteadyClock {
public:
    TimePoint Now() const override {
        ++reads;
        now += perRead;
        return now;
    }
    mutable TimePoint now{};
    std::chrono::nanoseconds perRead{0};
    mutable long long reads = 0;
};
