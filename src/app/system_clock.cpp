#include "app/system_clock.h"

#include <chrono>
#include <ctime>

namespace {

TimeOfDay timeOfDay(bool local)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const int ms = int(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm parts{};
    if (local)
        localtime_r(&seconds, &parts);
    else
        gmtime_r(&seconds, &parts);
    return {parts.tm_hour, parts.tm_min, parts.tm_sec, ms};
}

}  // namespace

TimeOfDay SystemClock::localTime()
{
    return timeOfDay(true);
}

TimeOfDay SystemClock::utcTime()
{
    return timeOfDay(false);
}
