#include "device/view/timer_host.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

#include "common/desktop.h"

TimerHost::TimerHost(Scheduler& scheduler, FailureReport report, QObject* parent)
    : QObject(parent), scheduler_(scheduler), report_(std::move(report)), base_(std::chrono::steady_clock::now())
{
    fallback_.setSingleShot(true);
    fallback_.setTimerType(Qt::PreciseTimer);
    connect(&fallback_, &QTimer::timeout, this, &TimerHost::onReadable);
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) {
        fail("timerfd_create");
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TimerHost::onReadable);
}

// Told once; from then on the Qt timer runs the ticks.
void TimerHost::fail(const char* call)
{
    const QString why = QLatin1String(call) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    const QString what = QStringLiteral("The device's timer cannot be set, so its ticks may come a little late.");
    if (report_)
        report_(what, why);
    else
        printProblem(what.toStdString(), why.toStdString());
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
    if (scriptUntil_)
        scheduler_.advanceTo(std::min(nowMs(), *scriptUntil_));
    else
        scheduler_.catchUpTo(nowMs());
}

void TimerHost::followScript(std::optional<int64_t> until)
{
    scriptUntil_ = until;
}

void TimerHost::rearm()
{
    std::optional<int64_t> due = scheduler_.nextDue();
    // Held at the script's step (a stall of the recorded window being played): nothing to wait for.
    if (scriptUntil_ && *scriptUntil_ <= scheduler_.now())
        due.reset();
    else if (scriptUntil_)
        due = std::min(due.value_or(*scriptUntil_), *scriptUntil_);
    if (fd_ < 0) {
        if (due)
            fallback_.start(int(std::clamp<int64_t>(*due - nowMs(), 0, 24 * 3600 * 1000)));
        else
            fallback_.stop();
        return;
    }
    itimerspec spec{};
    if (due) {
        // steady_clock is CLOCK_MONOTONIC on Linux: the deadline is absolute on the same clock.
        const auto deadline = base_ + std::chrono::milliseconds(*due);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
        spec.it_value.tv_sec = ns / 1000000000;
        spec.it_value.tv_nsec = ns % 1000000000;
        if (spec.it_value.tv_sec == 0 && spec.it_value.tv_nsec == 0)
            spec.it_value.tv_nsec = 1;  // an all-zero value would disarm the timer
    }
    if (timerfd_settime(fd_, TFD_TIMER_ABSTIME, &spec, nullptr) != 0) {
        fail("timerfd_settime");
        rearm();
    }
}

void TimerHost::onReadable()
{
    if (fd_ >= 0) {
        uint64_t expirations = 0;
        [[maybe_unused]] auto got = ::read(fd_, &expirations, sizeof expirations);
    }
    catchUp();
    if (scriptUntil_ && scheduler_.now() >= *scriptUntil_)
        emit scriptStepReached();
    rearm();
    emit ticked();
}
