#include "device/scheduler.h"

#include <algorithm>

Timer::Timer(Scheduler& scheduler, const char* name, int interval)
    : scheduler_(scheduler), name_(name), interval_(interval)
{
    scheduler.timers_.push_back(this);
}

Timer::~Timer()
{
    std::erase(scheduler_.timers_, this);
}

void Timer::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on)
        due_ = scheduler_.now() + interval_;
}

void Timer::setInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    if (enabled_)
        due_ = scheduler_.now() + interval_;
}

void Timer::restore(bool enabled, int interval, int64_t due)
{
    enabled_ = enabled;
    interval_ = interval;
    due_ = due;
}

Timer* Scheduler::earliest() const
{
    Timer* first = nullptr;
    for (Timer* timer : timers_)
        if (timer->enabled_ && timer->interval_ > 0 && (!first || timer->due_ < first->due_))
            first = timer;  // ties keep the earlier timer of the table
    return first;
}

std::optional<int64_t> Scheduler::nextDue() const
{
    if (Timer* timer = earliest())
        return timer->due_;
    return std::nullopt;
}

void Scheduler::advanceTo(int64_t time)
{
    while (Timer* timer = earliest()) {
        if (timer->due_ > time)
            break;
        if (timer->due_ > now_)
            now_ = timer->due_;
        timer->due_ = now_ + timer->interval_;
        ticks(*timer);
        if (timer->onTimer)
            timer->onTimer();
    }
    if (time > now_)
        now_ = time;
}

bool Scheduler::isBehind(const Timer& timer, int64_t time)
{
    return timer.enabled_ && timer.interval_ > 0 && timer.due_ + timer.interval_ <= time;
}

void Scheduler::catchUpTo(int64_t time)
{
    if (!catchUps.empty() && std::any_of(timers_.begin(), timers_.end(), [time](Timer* timer) { return isBehind(*timer, time); }))
        catchUps(time);
    for (Timer* timer : timers_)
        if (isBehind(*timer, time))
            timer->due_ = time;
    advanceTo(time);
}
