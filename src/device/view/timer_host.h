// Runs the device's scheduler on the real clock: a timerfd armed for the earliest due tick,
// watched on the Qt event loop, so ticks come about a tenth of a millisecond late at most. A
// timerfd that cannot be made or armed is reported, and a Qt timer, late by a millisecond or so,
// takes its place: the game goes on.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "device/scheduler.h"

class TimerHost : public QObject {
    Q_OBJECT
public:
    // what: the failure in the program's words; why: the call and the system's reason.
    using FailureReport = std::function<void(const QString& what, const QString& why)>;

    explicit TimerHost(Scheduler& scheduler, FailureReport report = {}, QObject* parent = nullptr);
    ~TimerHost() override;

    // Runs every tick due by now. Call before handing the device an input event.
    void catchUp();
    // Arms the timer for the earliest due tick. Call after anything that may have changed a timer.
    void rearm();

    // Milliseconds since the host started, the scheduler's time base.
    int64_t nowMs() const;

    // While a replay plays on the device, its script keeps the time: ticks run as on the virtual
    // clock, none later than `until`, the script's next step, and a timer that fell behind is
    // caught up only where the script says so. onScriptStep runs once the device reaches `until`.
    // Nothing: back to the real clock's rule.
    void followScript(std::optional<int64_t> until);

signals:
    // The device reached the script's next step (see followScript).
    void scriptStepReached();
    // A batch of ticks ran (the view repaints then).
    void ticked();

private:
    void onReadable();
    void fail(const char* call);

    Scheduler& scheduler_;
    FailureReport report_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer fallback_;
    std::chrono::steady_clock::time_point base_;
    std::optional<int64_t> scriptUntil_;
};
