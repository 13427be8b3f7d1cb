#include "Clock.h"

#include <ctime>

TimeOfDay SystemClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return TimeOfDay{local.tm_hour, local.tm_min};
}
