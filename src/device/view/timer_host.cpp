#include "timer_host.h"

#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

TimerHost::TimerHost(Scheduler& scheduler, QObject* parent)
    : QObject(parent), scheduler_(scheduler), base_(std::chrono::steady_clock::now())
{
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { onReadable(); });
    }
}

TimerHost::~TimerHost()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

int64_t TimerHost::nowMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - base_).count();
}

void TimerHost::catchUp()
{
    scheduler_.advanceTo(nowMs());
}

void TimerHost::rearm()
{
    if (fd_ < 0)
        return;
    itimerspec spec{};
    if (auto due = scheduler_.nextDue()) {
        // steady_clock is CLOCK_MONOTONIC on Linux: the deadline is absolute on the same clock.
        const auto deadline = base_ + std::chrono::milliseconds(*due);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
        spec.it_value.tv_sec = ns / 1000000000;
        spec.it_value.tv_nsec = ns % 1000000000;
        if (spec.it_value.tv_sec == 0 && spec.it_value.tv_nsec == 0)
            spec.it_value.tv_nsec = 1;  // an all-zero value would disarm the timer
    }
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &spec, nullptr);
}

void TimerHost::onReadable()
{
    uint64_t expirations = 0;
    [[maybe_unused]] auto got = ::read(fd_, &expirations, sizeof expirations);
    catchUp();
    rearm();
    if (afterTicks)
        afterTicks();
}
