#pragma once
// A clock that stands still at the moment a test sets.

#include <chrono>

#include "Clock.h"
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
