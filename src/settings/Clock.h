#pragma once
// Where the schedule takes the time of day from. The window uses the system's local clock;
// tests hand in a clock they set to any minute.

#include "TimeText.h"

class Clock {
public:
    virtual ~Clock() = default;
    // The current local time, hour and minute.
    virtual TimeOfDay Now() const = 0;
};

class SystemClock final : public Clock {
public:
    TimeOfDay Now() const override;
};
