#pragma once
// When a window processes its messages during a run. A walk lets the window process its messages
// after every entry; the window does so only once kPeriod has passed since it last did, so it
// still answers a click within 20 ms while a walk of many small entries pays a clock read per
// entry, not a round of the message queue. steady_clock is read without a system call where the
// system keeps the clock in user space (Linux's vDSO, Windows' QueryPerformanceCounter).

#include <chrono>

class MessagePace {
public:
    static constexpr std::chrono::milliseconds kPeriod{10};

    // Whether the messages are due now; when they are, the period starts again.
    bool Due() {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < kPeriod) return false;
        last_ = now;
        return true;
    }

private:
    std::chrono::steady_clock::time_point last_{};
};
