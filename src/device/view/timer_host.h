// Runs the device's scheduler on the real clock: a timerfd armed for the earliest due tick,
// watched on the Qt event loop, so ticks come about a tenth of a millisecond late at most.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <chrono>
#include <memory>

#include "scheduler.h"

class TimerHost : public QObject {
    Q_OBJECT
public:
    explicit TimerHost(Scheduler& scheduler, QObject* parent = nullptr);
    ~TimerHost() override;

    // Runs every tick due by now. Call before handing the device an input event.
    void catchUp();
    // Arms the timer for the earliest due tick. Call after anything that may have changed a timer.
    void rearm();

    // Milliseconds since the host started, the scheduler's time base.
    int64_t nowMs() const;

    // Called after every batch of ticks (the view repaints then).
    std::function<void()> afterTicks;

private:
    void onReadable();

    Scheduler& scheduler_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::chrono::steady_clock::time_point base_;
};
