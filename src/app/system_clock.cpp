#include "app/system_clock.h"

#include <chrono>
#include <ctime>

namespace {

TimeOfDay timeOfDay(std::tm* (*split)(const std::time_t*, std::tm*))
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const int ms = int(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm parts{};
    split(&seconds, &parts);
    return {parts.tm_hour, parts.tm_min, parts.tm_sec, ms};
}

}  // namespace

TimeOfDay SystemClock::localTime()
{
    return timeOfDay(localtime_r);
}

TimeOfDay SystemClock::utcTime()
{
    return timeOfDay(gmtime_r);
}
